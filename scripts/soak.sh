#!/usr/bin/env bash
# Fault soaks of brisolt-cli: kill -9 during imports, records and saves; two recorders at once;
# damaged workbook files; failing engines. Bounded in count and time.
#   scripts/soak.sh           the full soak: 200 kills, 2 x 100 concurrent records, 3 engine rounds
#   scripts/soak.sh --short   the CI soak: 30 kills, 2 x 25 records, 1 engine round
# Uses build/cli/brisolt-cli (built when missing), or the program named by SOAK_CLI.
set -euo pipefail
cd "$(dirname "$0")/.."

kills=200 records=100 engine_rounds=3
if [ "${1:-}" = "--short" ]; then
    kills=30 records=25 engine_rounds=1
fi

if [ -z "${SOAK_CLI:-}" ]; then
    build_dir=${BUILD_DIR:-build}
    if [ ! -f "$build_dir/build.ninja" ]; then
        scripts/install-deps.sh
        cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    fi
    cmake --build "$build_dir" --target brisolt-cli >/dev/null
    SOAK_CLI=$PWD/$build_dir/cli/brisolt-cli
fi
export SOAK_CLI

status=0
start=$(date +%s)
tests/soak/crash-soak.sh "$kills" "$records" || status=1
tests/soak/bad-workbooks.sh || status=1
tests/soak/engine-faults.sh "$engine_rounds" || status=1
echo "soak $([ $status = 0 ] && echo passed || echo FAILED) in $(($(date +%s) - start)) s"
exit $status
