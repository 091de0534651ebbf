#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
#   scripts/test.sh             the normal build in build/ and every test through ctest
#   scripts/test.sh --sanitize  the same tests under AddressSanitizer, UBSan and leak detection,
#                               in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRISOLT_WERROR=ON)
export ASAN_OPTIONS=detect_leaks=0
if [ "${1:-}" = "--sanitize" ]; then
    build_dir=build-sanitize
    cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DBRISOLT_SANITIZE=ON -DBRISOLT_BENCH=OFF -DBRISOLT_WERROR=ON)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    # Qt and the libraries under it keep a few objects for the life of the process.
    export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
fi

cmake -S . -B "$build_dir" -G Ninja "${cmake_args[@]}"
cmake --build "$build_dir"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
