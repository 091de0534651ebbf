#!/usr/bin/env bash
# The games window against the number of games: open to first paint, a sort, deep rows and a
# filter, with CPU time and resident memory, on generated workbooks of 10,000, 100,000 and
# 1,000,000 games.
#   bench/editor/games_window.sh [BUILD_DIR]
# The workbooks are made once by make_workbook in BUILD_DIR/bench-data (shared with
# bench/compare-scale.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=${1:-build}
cmake --build "$build_dir" -j 2 --target bench_games_window make_workbook >/dev/null
data=$build_dir/bench-data
mkdir -p "$data"
sizes=${BRISOLT_SCALE_SIZES:-"10000 100000 1000000"}
echo "| Games | Step | CPU ms | wall ms | RSS MB |"
echo "|---|---|---|---|---|"
for games in $sizes; do
    book=$data/scale-$games.brl
    [ -f "$book" ] || "$build_dir/bench/workbook/make_workbook" "$book" "$games" >&2
    # A first run makes the workbook's indexes and brings the file into the page cache.
    QT_QPA_PLATFORM=offscreen "$build_dir/bench/editor/bench_games_window" "$book" >/dev/null
    QT_QPA_PLATFORM=offscreen "$build_dir/bench/editor/bench_games_window" "$book" |
        awk -v games="$games" '{cpu = $(NF-2); ms = $(NF-1); rss = $NF; NF -= 3;
            printf "| %s | %s | %s | %s | %s |\n", games, $0, cpu, ms, rss}'
done
