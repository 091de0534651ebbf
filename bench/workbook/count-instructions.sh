#!/bin/sh
# Instructions (callgrind) of three workbook figures, steadier than times on a shared machine:
# opening the 100,000-game workbook with its first batch (per round of BM_OpenAndFirstBatch), a
# recorded result (per UpdateSuccess of BM_UpdateSuccess, without the one summing of the score
# that the first result of each run pays) and `brisolt-cli show` of game 5000 of a 10,000-game
# workbook (the whole command).
#
#   bench/workbook/count-instructions.sh BUILD     # BUILD has bench_workbook, make_workbook and
#                                                  # brisolt-cli; ~3 minutes
set -eu
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

total() { callgrind_annotate "$1" 2>/dev/null | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1}'; }
# Calls to the function from the caller named, as callgrind counted them.
calls() {
    callgrind_annotate --tree=caller "$1" 2>/dev/null | grep -E "< .*$2" | head -1 |
        sed 's/.*(\([0-9,]*\)x).*/\1/' | tr -d ,
}
inclusive() {
    callgrind_annotate --inclusive=yes "$1" 2>/dev/null | grep -m1 "$2" |
        awk '{gsub(",", "", $1); print $1}'
}

valgrind --tool=callgrind --callgrind-out-file=open.out \
    --toggle-collect='CWorkBook::strOpenWorkBook*' \
    --toggle-collect='CWorkBook::arrlngGetGameIDsForTraining*' \
    --toggle-collect='CWorkBook::~CWorkBook*' "$build/bench/workbook/bench_workbook" \
    --benchmark_filter=BM_OpenAndFirstBatch --benchmark_min_time=1 >/dev/null 2>&1
rounds=$(calls open.out 'CWorkBook.cpp:CWorkBook::strOpenWorkBook')
echo "open and first batch: $(($(total open.out) / rounds)) instructions a round ($rounds rounds)"

valgrind --tool=callgrind --callgrind-out-file=record.out \
    --toggle-collect='CWorkBook::UpdateSuccess*' "$build/bench/workbook/bench_workbook" \
    --benchmark_filter=BM_UpdateSuccess --benchmark_min_time=10 >/dev/null 2>&1
results=$(calls record.out 'CWorkBookScore.cpp:CWorkBook::UpdateSuccess')
summed=$(inclusive record.out 'Summed(SqlConnection')
echo "recorded result: $((($(total record.out) - ${summed:-0}) / results)) instructions ($results results)"

"$build/bench/workbook/make_workbook" book.brl 10000 >/dev/null
valgrind --tool=callgrind --callgrind-out-file=show.out "$build/cli/brisolt-cli" show book.brl \
    5000 >/dev/null 2>&1
echo "show of game 5000: $(total show.out) instructions"
