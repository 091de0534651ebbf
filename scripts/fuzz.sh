#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each in turn.
#   scripts/fuzz.sh [SECONDS] [TARGET...]   SECONDS per target (default 60); all targets by default
# Each target starts from its seeds in fuzz/corpus/<target>/ plus what earlier runs found
# (build-fuzz/corpus/<target>/). A crash, a sanitizer report or a failed check stops the run; the
# input that did it is kept in build-fuzz/findings/<target>/, printed in base64, and the script
# exits 1.
# One fuzzer runs at a time, at low priority, so that the machine stays usable.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
all_targets=(diagram fen move game_tree engine_output pgn_import workbook_open board_fen)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")

build_dir=build-fuzz
scripts/install-deps.sh
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DBRISOLT_FUZZ=ON -DBRISOLT_BENCH=OFF >/dev/null
fi
fuzz/make-corpus.sh
cmake --build "$build_dir" -j 2 --target "${targets[@]/#/fuzz_}"

summary="$build_dir/fuzz-summary.txt"
: >"$summary"
status=0
for target in "${targets[@]}"; do
    corpus="$build_dir/corpus/$target"
    findings="$build_dir/findings/$target"
    mkdir -p "$corpus" "$findings"
    log="$build_dir/fuzz-$target.log"
    echo "fuzzing $target for ${seconds}s"
    # Leaks inside Qt and fontconfig at exit are not ours (scripts/lsan.supp).
    if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp \
        nice -n 10 "$build_dir/fuzz/fuzz_$target" "$corpus" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        echo "$target ${seconds}s ${runs:-?} inputs, no finding" | tee -a "$summary"
    else
        echo "$target: FINDING, see $log and $findings/" | tee -a "$summary"
        grep -m 5 -E "ERROR|runtime error|round trip|deadly signal|terminate|what\(\)" "$log" || true
        # The input itself, so that a finding on another machine can be replayed here.
        for input in "$findings"/*; do
            if [ -f "$input" ] && [ "$(stat -c %s "$input")" -le 16384 ]; then
                echo "input $(basename "$input"), base64: $(base64 -w0 "$input")"
            fi
        done
        status=1
    fi
done
exit $status
