#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) on our sources with the compile database of a build.
#   scripts/tidy.sh [BUILD_DIR] [FOLDER...]   default build/ and every source folder
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
shift || true
folders=("$@")
[ ${#folders[@]} -eq 0 ] && folders=(model game pgn workbook cli board engine verify editor app)
[ -f "$build_dir/compile_commands.json" ] ||
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
mapfile -t files < <(git ls-files "${folders[@]/%//*.cpp}")
status=0
printf '%s\n' "${files[@]}" |
    xargs -P "$(nproc)" -n 1 clang-tidy -p "$build_dir" --quiet 2>/dev/null || status=1
[ $status = 0 ] && echo "clang-tidy: ${#files[@]} files clean"
exit $status
