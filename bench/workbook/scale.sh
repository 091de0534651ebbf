#!/usr/bin/env bash
# Time and peak memory of brisolt-cli's whole-workbook commands against the number of games:
# list, export, score and batch on generated workbooks of 10,000, 100,000 and 1,000,000 games.
#   bench/workbook/scale.sh [BUILD_DIR] [CLI]     (CLI: another brisolt-cli to measure, e.g. an
#                                                  older build; default BUILD_DIR/cli/brisolt-cli)
# The workbooks are made once by make_workbook in BUILD_DIR/bench-data (1,000,000 games: 2 GB).
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=${1:-build}
cmake --build "$build_dir" -j 2 --target brisolt-cli make_workbook >/dev/null
cli=${2:-$build_dir/cli/brisolt-cli}
data=$build_dir/bench-data
mkdir -p "$data"
sizes=${BRISOLT_SCALE_SIZES:-"10000 100000 1000000"}
# Exporting a million games takes minutes (every game is loaded and checked): off above this.
export_max=${BRISOLT_SCALE_EXPORT_MAX:-100000}
echo "| Command | Games | Wall s | CPU s | Peak RSS MB |"
echo "|---|---|---|---|---|"
for games in $sizes; do
    book=$data/scale-$games.brl
    [ -f "$book" ] || "$build_dir/bench/workbook/make_workbook" "$book" "$games" >&2
    "$cli" score "$book" >/dev/null # the file in the page cache, the indexes made
    for command in list export score batch; do
        [ "$command" = export ] && ((games > export_max)) && continue
        args=("$command" "$book")
        [ "$command" = export ] && args+=(-)
        /usr/bin/time -f '%e %U %S %M' -o "$data/time" "$cli" "${args[@]}" >/dev/null 2>"$data/err" ||
            { echo "failed: $cli ${args[*]}: $(tail -2 "$data/err")" >&2; exit 1; }
        read -r wall user sys rss <"$data/time"
        printf '| %s | %s | %s | %.2f | %.1f |\n' "$command" "$games" "$wall" \
            "$(echo "$user + $sys" | bc)" "$(echo "$rss / 1024" | bc -l)"
    done
    # The limit: the same rows through the sqlite3 shell.
    if command -v sqlite3 >/dev/null; then
        /usr/bin/time -f '%e %U %S %M' -o "$data/time" sqlite3 "$book" "select ID,Hits,Solve,\
ErrorStreak,SolveStreak,XRefPage,XRefDiagram,Description from GameTree order by ID" >/dev/null
        read -r wall user sys rss <"$data/time"
        printf '| list, sqlite3 shell (limit) | %s | %s | %.2f | %.1f |\n' "$games" "$wall" \
            "$(echo "$user + $sys" | bc)" "$(echo "$rss / 1024" | bc -l)"
    fi
done
