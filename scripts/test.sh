#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
#   scripts/test.sh             the normal build in build/ and every test through ctest
#   scripts/test.sh --sanitize  the plain C++ libraries (model, game, pgn, workbook, the engine's
#                               protocol and process layer) and brisolt-cli with their tests under
#                               AddressSanitizer, UBSan and leak detection, in build-sanitize/
# The widget tests are not in the sanitizer run: building Qt code with the sanitizers doubles the
# time of a CI run for code whose own logic the plain tests already cover.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

if [ "${1:-}" = "--sanitize" ]; then
    build_dir=build-sanitize
    tests=(model_tests rules_tests game_tree_tests pgn_tests workbook_tests cli_tests
        brisolt_engine_tests brisolt_engine_cli_tests)
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRISOLT_SANITIZE=ON \
        -DBRISOLT_BENCH=OFF
    cmake --build "$build_dir" --target "${tests[@]}" brisolt-cli
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    # Qt keeps a few objects for the life of the process; they are not ours to free.
    export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
    status=0
    for test in "${tests[@]}"; do
        binary=$(find "$build_dir/tests" -name "$test" -type f -executable | head -1)
        if [ -z "$binary" ]; then
            echo "missing test program $test" >&2
            status=1
            continue
        fi
        echo "== $test"
        "$binary" --gtest_brief=1 || status=1
    done
    exit $status
fi

build_dir=build
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir"
export ASAN_OPTIONS=detect_leaks=0
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
