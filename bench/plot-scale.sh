#!/usr/bin/env bash
# Draws the figures of bench/compare-scale.sh against the number of games: time on the left (CPU,
# the Games window's wall time), peak memory on the right.
#   bench/plot-scale.sh [SCALE.csv] [OUT.png]
#   (defaults: build/bench-data/scale.csv and docs/images/scale.png)
# Installs gnuplot (Debian gnuplot-nox) when it is missing; nothing else needs it.
set -euo pipefail
cd "$(dirname "$0")/.."

csv=${1:-build/bench-data/scale.csv}
out=${2:-docs/images/scale.png}
[ -f "$csv" ] || { echo "no $csv: run bench/compare-scale.sh first" >&2; exit 2; }
if ! command -v gnuplot >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends gnuplot-nox
fi
mkdir -p "$(dirname "$out")"
work=$(mktemp -d "${TMPDIR:-/tmp}/brisolt-plot-XXXXXX")
trap 'rm -rf "$work"' EXIT

# One data file per series: "games seconds megabytes". Our rows, and the shell's for list.
series=("import" "list" "games window open" "start-up" "score" "batch" "show" "record")
plots_time=() plots_memory=()
for i in "${!series[@]}"; do
    name=${series[$i]}
    awk -F, -v m="$name" '$1 == m && $3 == "brisolt" {
        print $2, (m == "games window open") ? $5 : $4, $6 }' "$csv" |
        sort -n >"$work/$i.dat"
    [ -s "$work/$i.dat" ] || continue
    title=$name
    [ "$name" = "games window open" ] && title="$name (wall)"
    plots_time+=("'$work/$i.dat' using 1:2 with linespoints lw 2 pt 7 ps 0.8 title '$title'")
    plots_memory+=("'$work/$i.dat' using 1:3 with linespoints lw 2 pt 7 ps 0.8 title '$title'")
done
awk -F, '$1 == "list" && $3 == "sqlite3 shell" {print $2, $4, $6}' "$csv" | sort -n >"$work/shell.dat"
if [ -s "$work/shell.dat" ]; then
    shell="'$work/shell.dat' using 1:%s with linespoints dt 2 lw 2 pt 6 ps 0.8 lc rgb 'gray40' title 'list, sqlite3 shell'"
    # shellcheck disable=SC2059
    plots_time+=("$(printf "$shell" 2)")
    # shellcheck disable=SC2059
    plots_memory+=("$(printf "$shell" 3)")
fi
join() { local IFS=,; echo "$*"; }

gnuplot <<GP
set terminal pngcairo size 1000,420 font "DejaVu Sans,10"
set output "$out"
set datafile separator " "
set multiplot layout 1,2 title "Brisolt against the number of games (CPU seconds unless marked wall; peak resident memory)"
set logscale x
set format x "%.0s%c"
set xtics (10000, 100000, 1000000)
set xrange [7000:1400000]
set grid
unset key
set logscale y
set format y "%g"
set xlabel "games in the workbook"
set ylabel "seconds"
plot $(join "${plots_time[@]}")
unset logscale y
set yrange [0:*]
set ylabel "peak memory, MB"
set key inside center center font ",8" spacing 1.0 box opaque
plot $(join "${plots_memory[@]}")
unset multiplot
GP
echo "$out"
