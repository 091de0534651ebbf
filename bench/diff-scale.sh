#!/usr/bin/env bash
# Two runs of bench/compare-scale.sh side by side (e.g. an older build and this one): our time and
# peak memory for each measure and size, with the change in percent (negative: faster, smaller).
#   bench/diff-scale.sh BEFORE.csv AFTER.csv
# The time is CPU seconds, or the wall time for the two steps measured only in wall time (the
# Games window open and the start-up). A change beyond 5% in the worse direction is marked "!".
set -euo pipefail
[ $# = 2 ] || { echo "usage: bench/diff-scale.sh BEFORE.csv AFTER.csv" >&2; exit 2; }
python3 - "$1" "$2" <<'PY'
import csv, sys

WALL = {"games window open", "start-up"}

def ours(path):
    rows = {}
    with open(path, newline="") as f:
        for r in csv.DictReader(f):
            if r["tool"] == "brisolt":
                time = float(r["wall_s" if r["measure"] in WALL else "cpu_s"])
                rows[(r["measure"], int(r["games"]))] = (time, float(r["rss_mb"]))
    return rows

before, after = ours(sys.argv[1]), ours(sys.argv[2])

def change(old, new):
    if old <= 0:
        return "-"
    percent = (new - old) / old * 100
    return f"{percent:+.1f}%" + (" !" if percent > 5 else "")

print("| Measure | Games | Before: s, MB | After: s, MB | Time | Memory |")
print("|---|---|---|---|---|---|")
for key in sorted(before.keys() & after.keys(), key=lambda k: (k[1], k[0])):
    (t0, m0), (t1, m1) = before[key], after[key]
    kind = " (wall)" if key[0] in WALL else ""
    print(f"| {key[0]}{kind} | {key[1]:,} | {t0:.4f}, {m0:.1f} | {t1:.4f}, {m1:.1f} | "
          f"{change(t0, t1)} | {change(m0, m1)} |")
for key in sorted(before.keys() ^ after.keys()):
    print(f"| {key[0]} | {key[1]:,} | only in {'before' if key in before else 'after'} | | | |")
PY
