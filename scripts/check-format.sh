#!/usr/bin/env bash
# Checks that every C++ source in git is formatted by the repository's .clang-format.
#   scripts/check-format.sh          lists the files that differ; exits 1 when there are any
#   scripts/check-format.sh --fix    formats them in place
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
bad=()
for file in "${files[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done
if [ ${#bad[@]} -gt 0 ]; then
    printf 'not formatted (scripts/check-format.sh --fix): %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "format: ${#files[@]} files clean"
