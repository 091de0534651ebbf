#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) on our sources with the compile database of a build.
#   scripts/tidy.sh [BUILD_DIR] [FOLDER...]   default build/ and the plain C++ folders
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
shift || true
folders=("$@")
[ ${#folders[@]} -eq 0 ] && folders=(model game pgn workbook cli)
[ -f "$build_dir/compile_commands.json" ] ||
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
mapfile -t files < <(git ls-files "${folders[@]/%//*.cpp}")
status=0
for file in "${files[@]}"; do
    clang-tidy -p "$build_dir" --quiet "$file" 2>/dev/null || status=1
done
[ $status = 0 ] && echo "clang-tidy: ${#files[@]} files clean"
exit $status
