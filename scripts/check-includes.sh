#!/usr/bin/env bash
# Checks the layering of the source folders against the table in docs/ARCHITECTURE.md (between
# the "layers" markers): a folder's files include headers only of the folders its row names, its
# CMakeLists.txt links only their libraries, and its Qt use stays within the row's Qt column
# ("no": no Qt header; "no widgets": no header of Qt Widgets or Qt Gui; "yes"). Every folder
# holding C++ sources (besides tests, bench, fuzz, the build tools in resources and build folders)
# needs a row.
#   scripts/check-includes.sh      prints each breach; exits 1 when there is any
set -euo pipefail
cd "$(dirname "$0")/.."

table=docs/ARCHITECTURE.md
declare -A uses qt target
while IFS='|' read -r _ folder name allowed qtuse _; do
    folder=$(echo "$folder" | xargs)
    [ -n "$folder" ] && [ "$folder" != Folder ] && [ "${folder#-}" = "$folder" ] || continue
    target[$folder]=$(echo "$name" | xargs)
    uses[$folder]=" $(echo "$allowed" | tr -d -- '-' | xargs) "
    qt[$folder]=$(echo "$qtuse" | xargs)
done < <(sed -n '/<!-- layers/,/<!-- end of layers/p' "$table" | grep '^|')
if [ ${#uses[@]} -eq 0 ]; then
    echo "no layer table found in $table" >&2
    exit 2
fi

# Headers of Qt Widgets and Qt Gui, by name, from the installed Qt.
qtinclude=$(find /usr/include -maxdepth 3 -type d -name QtWidgets -print -quit 2>/dev/null || true)
qtinclude=${qtinclude%/QtWidgets}
is_widget_header() { # NAME: Qt Widgets or Qt Gui header
    case "$1" in
    QtWidgets/* | QtGui/* | QtWidgets | QtGui) return 0 ;;
    esac
    [ -n "$qtinclude" ] && { [ -e "$qtinclude/QtWidgets/$1" ] || [ -e "$qtinclude/QtGui/$1" ]; }
}

breaches=0
breach() {
    echo "$1" >&2
    breaches=$((breaches + 1))
}

mapfile -t folders < <(git ls-files '*.cpp' '*.h' | cut -d/ -f1 | sort -u |
    grep -vxE 'tests|bench|fuzz|resources|build.*|[^/]*\.(cpp|h)')
for folder in "${folders[@]}"; do
    [ -n "${uses[$folder]+set}" ] || {
        breach "$folder/: no row in the layer table of $table"
        continue
    }
done

for folder in "${!uses[@]}"; do
    [ -d "$folder" ] || continue
    while IFS= read -r file; do
        while IFS= read -r line; do
            number=${line%%:*}
            [[ "${line#*:}" =~ ^#include\ *[\"\<]([^\"\>]+) ]] || continue
            header=${BASH_REMATCH[1]}
            other=${header%%/*}
            if [ "$header" != "$other" ] && [ -n "${uses[$other]+set}" ]; then
                if [ "$other" != "$folder" ] && [[ "${uses[$folder]}" != *" $other "* ]]; then
                    breach "$file:$number: $folder/ may not include $header"
                fi
            elif [[ "$header" == Q* ]]; then
                case "${qt[$folder]}" in
                no) breach "$file:$number: $folder/ uses no Qt, but includes <$header>" ;;
                "no widgets")
                    if is_widget_header "$header"; then
                        breach "$file:$number: $folder/ uses no widgets, but includes <$header>"
                    fi
                    ;;
                esac
            fi
        done < <(grep -nE '^#include' "$file" || true)
    done < <(git ls-files "$folder/*.cpp" "$folder/*.h")

    # The libraries its CMakeLists.txt links.
    [ -f "$folder/CMakeLists.txt" ] || continue
    for library in $(grep -oE 'brisolt_[a-z]+' "$folder/CMakeLists.txt" | sort -u); do
        for other in "${!target[@]}"; do
            if [ "${target[$other]}" = "$library" ] && [ "$other" != "$folder" ] &&
                [[ "${uses[$folder]}" != *" $other "* ]]; then
                breach "$folder/CMakeLists.txt: $folder/ may not link $library"
            fi
        done
    done
done

if [ $breaches -gt 0 ]; then
    echo "includes: $breaches breaches of the layers in $table" >&2
    exit 1
fi
echo "includes: ${#folders[@]} folders keep their layers"
