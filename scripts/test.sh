#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
#   scripts/test.sh             the normal build in build/
#   scripts/test.sh --sanitize  the same tests under AddressSanitizer and UBSan in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
    build_dir=build-sanitize
    cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DBRISOLT_SANITIZE=ON)
fi

scripts/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja "${cmake_args[@]}"
cmake --build "$build_dir"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
