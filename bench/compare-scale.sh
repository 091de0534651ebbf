#!/usr/bin/env bash
# The workbook at 10,000, 100,000 and 1,000,000 games, each figure beside the sqlite3 shell doing
# the same work on the same file or beside the peer importers on the same PGN:
#   import (games/s and MB of PGN/s), list, export (up to 100,000 games), the Games window open,
#   start-up to the first position painted, score, batch, show and record.
#   bench/compare-scale.sh [BUILD_DIR]        (default build; prints a Markdown table)
# The CSV of the same figures goes to BRISOLT_SCALE_CSV (default BUILD_DIR/bench-data/scale.csv);
# bench/plot-scale.sh draws it.
# Inputs are made once and kept in BUILD_DIR/bench-data: the workbooks by make_workbook and the
# PGN files exported from them by this build's brisolt-cli (a million games: 2 GB and 370 MB,
# a few minutes the first time).
# Another program can be measured on the same inputs (e.g. an older build):
#   BRISOLT_CLI, BRISOLT_APP, BRISOLT_GAMES_WINDOW   the programs (default: those of BUILD_DIR)
#   BRISOLT_SCALE_SIZES   the sizes (default "10000 100000 1000000")
#   BRISOLT_WINDOW_MAX    the Games window only up to this many games (default: at every size)
#   BRISOLT_REPEAT        runs per figure, the median is reported (default 3; one run for an
#                         import of more than BRISOLT_REPEAT_MAX games, default 100000)
# Times are CPU seconds (user + system) of the whole process, so that other work on the machine
# disturbs them less; commands that take milliseconds run twenty times in a row and are divided.
# The Games window and the start-up are wall times the program measures itself (offscreen and
# under xvfb), the only figures of those two steps. Peak memory is the process's resident peak.
# Scid (Debian package scid, tkscid's "sc_base import") is an optional peer: it is fetched with
# apt-get download into BRISOLT_PEERS_DIR (default /tmp/brisolt-peers), outside the repository.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
data=${BRISOLT_BENCH_DATA:-$build_dir/bench-data}
csv=${BRISOLT_SCALE_CSV:-$data/scale.csv}
sizes=${BRISOLT_SCALE_SIZES:-"10000 100000 1000000"}
repeat=${BRISOLT_REPEAT:-3}
repeat_max=${BRISOLT_REPEAT_MAX:-100000}
peers=${BRISOLT_PEERS_DIR:-/tmp/brisolt-peers}
maker_cli=$build_dir/cli/brisolt-cli
cli=${BRISOLT_CLI:-$maker_cli}
app=${BRISOLT_APP:-$build_dir/app/brisolt}
window=${BRISOLT_GAMES_WINDOW:-$build_dir/bench/editor/bench_games_window}

export PATH="$PATH:/usr/games"
for tool in sqlite3 pgn-extract bc /usr/bin/time xvfb-run; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh" >&2; exit 2; }
done
cmake --build "$build_dir" -j 2 --target brisolt-cli brisolt make_workbook bench_games_window >/dev/null
mkdir -p "$data"
work=$(mktemp -d "${TMPDIR:-/tmp}/brisolt-scale-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Scid's importer, when its package can be fetched: sets scid to the tkscid program or "".
scid=""
scid_dir=$peers/scid
if [ ! -x "$scid_dir/root/usr/games/tkscid" ]; then
    mkdir -p "$scid_dir"
    (cd "$scid_dir" && apt-get download scid >/dev/null 2>&1 && dpkg -x scid_*.deb root) || true
fi
if [ -x "$scid_dir/root/usr/games/tkscid" ]; then
    cat >"$work/scid-import.tcl" <<'TCL'
# tkscid scid-import.tcl OUT PGN: imports the PGN into a new Scid database OUT and prints the
# number of games it holds then (an import that stops early still ends normally).
set base [sc_base create [lindex $argv 0]]
catch {sc_base import $base [lindex $argv 1]}
puts "imported [sc_base numGames $base]"
sc_base close $base
TCL
    cat >"$work/scid-count.tcl" <<'TCL'
# tkscid scid-count.tcl BASE: the number of games in a Scid database.
set base [sc_base open [lindex $argv 0]]
puts "imported [sc_base numGames $base]"
sc_base close $base
TCL
    # It runs here when it imports a game.
    printf '[Event "?"]\n\n1. e4 e5 *\n' >"$work/one.pgn"
    timeout 20 "$scid_dir/root/usr/games/tkscid" "$work/scid-import.tcl" "$work/one" "$work/one.pgn" 2>/dev/null |
        grep -q '^imported 1$' && scid=$scid_dir/root/usr/games/tkscid
fi
if [ -z "$scid" ]; then
    echo "Scid is not measured: its package could not be fetched or its tkscid does not run" >&2
fi

# timed_loop K COMMAND...: one run of the command K times in a row; appends "cpu wall rss" per
# run (seconds per command, peak KB) to $work/runs. The command in $before runs first, untimed.
# The CPU time is the children's from getrusage, finer than /usr/bin/time's 10 ms steps. The peak
# memory comes from a run under /usr/bin/time (one more run when K > 1): a child's peak also
# counts the memory of the process that forked it, so only a small parent gives the command's own.
before=""
timed_loop() {
    [ -z "$before" ] || eval "$before"
    python3 - "$work" "$@" >>"$work/runs" <<'PY' || { echo "failed: ${*:2}: $(tail -3 "$work/err")" >&2; exit 1; }
import resource, subprocess, sys, time
work, k, command = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
with open(work + "/err", "w") as log:
    def run(argv):
        if subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=log).returncode != 0:
            sys.exit(1)
    timed = ["/usr/bin/time", "-f", "%M", "-o", work + "/rss"] + command
    start = time.monotonic()
    for _ in range(k):
        run(command if k > 1 else timed)
    wall = time.monotonic() - start
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    if k > 1:
        run(timed)
print((usage.ru_utime + usage.ru_stime) / k, wall / k, open(work + "/rss").read().split()[-1])
PY
}
# median COLUMN: the median of a column of $work/runs.
median() { awk -v c="$1" '{print $c}' "$work/runs" | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
# measure R K COMMAND...: R timed loops; sets cpu and wall (s, medians) and rss (MB, median).
measure() {
    local r=$1 i
    shift
    : >"$work/runs"
    for ((i = 0; i < r; i++)); do timed_loop "$@"; done
    cpu=$(median 1) wall=$(median 2) rss=$(echo "$(median 3) / 1024" | bc -l)
}
# record MEASURE GAMES TOOL NOTE: one CSV line from cpu, wall and rss.
echo "measure,games,tool,cpu_s,wall_s,rss_mb,note" >"$csv"
record() { printf '%s,%s,%s,%.4f,%.4f,%.1f,"%s"\n' "$1" "$2" "$3" "$cpu" "$wall" "$rss" "$4" >>"$csv"; }
# The Markdown table: our figure beside the peer's, with the ratio of the times.
fig() { printf '%.4f s, %.1f MB' "$1" "$2"; }
row() { printf '| %s | %s | %s | %s | %s |\n' "$@"; }
ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }

echo "Machine: $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg) at start;" \
    "$(date -u '+%Y-%m-%d %H:%M UTC'); $cli; repeat $repeat (median)"
echo
echo "| Measure | Games | Brisolt: CPU, peak memory | Peer or limit: CPU, peak memory | Ratio |"
echo "|---|---|---|---|---|"

# The start-up's floor: a workbook of ten games.
small=$work/small.brl
for games in $sizes; do
    book=$data/scale-$games.brl
    pgn=$data/scale-$games.pgn
    [ -f "$book" ] || "$build_dir/bench/workbook/make_workbook" "$book" "$games" >&2
    [ -f "$pgn" ] || "$maker_cli" export "$book" "$pgn" >/dev/null
    [ -f "$small" ] || {
        "$maker_cli" export "$book" "$work/small.pgn" $(seq 1 10) >/dev/null
        "$maker_cli" import "$small" "$work/small.pgn" >/dev/null
    }
    mb=$(echo "$(stat -c %s "$pgn") / 1000000" | bc -l)
    "$cli" score "$book" >/dev/null # the file in the page cache, the indexes made
    id=$((games / 2))

    # Import: ours, the sqlite3 shell storing the same rows, pgn-extract checking, Scid.
    r=$repeat
    ((games > repeat_max)) && r=1
    fresh=$work/import.brl
    # shellcheck disable=SC2016 # expanded when it runs
    before='rm -f "$fresh"'
    measure "$r" 1 "$cli" import "$fresh" "$pgn"
    imported=$(sqlite3 "$fresh" "select count(*) from GameTree")
    ours=$cpu
    rate=$(printf '%.0f games/s, %.2f MB/s' "$(echo "$imported / $cpu" | bc -l)" "$(echo "$mb / $cpu" | bc -l)")
    record import "$games" brisolt "$rate"
    ours_fig="$(fig "$cpu" "$rss"); $rate"
    # The limit of storing: the same rows copied by the shell into an empty file of the same schema.
    {
        sqlite3 "$fresh" .schema | grep -v '^CREATE TABLE sqlite_sequence'
        echo "attach '$fresh' as src;"
        echo "begin;"
        echo "insert into main.GameTree select * from src.GameTree;"
        echo "insert into main.GameNode select * from src.GameNode;"
        echo "commit;"
    } >"$work/copy.sql"
    # shellcheck disable=SC2016
    before='rm -f "$work/copy.brl"'
    measure "$r" 1 sqlite3 "$work/copy.brl" ".read $work/copy.sql"
    record import "$games" "sqlite3 shell" "the same rows copied into the same schema"
    row "import ($imported games, $(printf '%.1f' "$mb") MB of PGN)" "$games" "$ours_fig" \
        "sqlite3 shell storing the same rows (limit): $(fig "$cpu" "$rss")" "$(ratio "$ours" "$cpu")"
    rm -f "$fresh" "$work/copy.brl"
    measure "$r" 1 pgn-extract -s -r "$pgn"
    record import "$games" pgn-extract "checks the moves, stores nothing"
    row "import" "$games" "" "pgn-extract -r, checking only: $(fig "$cpu" "$rss")" "$(ratio "$ours" "$cpu")"
    if [ -n "$scid" ]; then
        # shellcheck disable=SC2016
        before='rm -f "$work"/scid.s?4'
        measure "$r" 1 "$scid" "$work/scid-import.tcl" "$work/scid" "$pgn"
        # Scid keeps at most 524,287 distinct event names, and every exercise has its own: it
        # stops there. Its rate is then over the games it took.
        took=$("$scid" "$work/scid-count.tcl" "$work/scid" 2>/dev/null | sed -n 's/^imported //p')
        note="tkscid sc_base import into a new database"
        [ "$took" = "$imported" ] || note="stopped after $took games (its limit of distinct event names)"
        record import "$games" Scid "$note"
        rate=$(printf '%.0f games/s' "$(echo "$took / $cpu" | bc -l)")
        if [ "$took" = "$imported" ]; then
            row "import" "$games" "" "Scid sc_base import: $(fig "$cpu" "$rss"); $rate" "$(ratio "$ours" "$cpu")"
        else
            # The ratio of the times per game.
            row "import" "$games" "" "Scid sc_base import, $note: $(fig "$cpu" "$rss"); $rate" \
                "$(ratio "$(echo "$ours / $imported" | bc -l)" "$(echo "$cpu / $took" | bc -l)")"
        fi
        rm -f "$work"/scid.s?4
    fi
    before=""

    # Whole-table and per-game commands beside the same SQL through the shell.
    k=20
    ((games >= 100000)) && k=5
    ((games >= 1000000)) && k=1
    columns="ID,Hits,Solve,ErrorStreak,SolveStreak,XRefPage,XRefDiagram,Description"
    # name | our arguments | loop count | the shell's SQL. The shell runs first, so that our
    # record, which keeps the score's sums for the file as it then is, comes last of the writes
    # and the score, the window and the start-up after it see the file as only we left it.
    cases=(
        "record|record $book $id success|20|update GameTree set hits=coalesce(hits,0)+1, solve=coalesce(solve,0)+1, SolveStreak=coalesce(SolveStreak,0)+1,ErrorStreak=0 where ID=$id"
        "list|list $book|$k|select $columns from GameTree order by ID"
        "score|score $book|20|select sum(Hits),sum(Solve) from GameTree"
        "batch|batch $book|20|select id from GameTree order by ErrorStreak desc, Solve ,hits, SolveStreak,ID limit 10"
        "export|export $book -|1|select NodeKey,NodeParentKey,WhiteToMove,Diagram,MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO from GameNode order by GameTreeID, ID"
        "show|show $book $id|20|select Description,XRefPage,XRefDiagram from GameTree where ID=$id; select NodeKey,NodeParentKey,WhiteToMove,Diagram,MoveText,MoveNumber,EnPassantFile,WhiteOO,WhiteOOO,BlackOO,BlackOOO from GameNode where GameTreeID=$id order by ID"
    )
    for entry in "${cases[@]}"; do
        IFS='|' read -r name args loops sql <<<"$entry"
        # Exporting a million games takes a minute or more: only up to BRISOLT_EXPORT_MAX games.
        [ "$name" = export ] && ((games > ${BRISOLT_EXPORT_MAX:-100000})) && continue
        read -ra argv <<<"$args"
        measure "$repeat" "$loops" sqlite3 "$book" "$sql"
        record "$name" "$games" "sqlite3 shell" "$sql"
        peer=$cpu peer_fig=$(fig "$cpu" "$rss")
        measure "$repeat" "$loops" "$cli" "${argv[@]}"
        record "$name" "$games" brisolt ""
        row "$name" "$games" "$(fig "$cpu" "$rss")" "sqlite3 shell, same SQL: $peer_fig" "$(ratio "$cpu" "$peer")"
    done

    # The Games window: open to the first paint (wall ms, offscreen) and memory after it. A
    # window that reads the whole table (an older build) may be left out above a size.
    : >"$work/runs"
    if ((games > ${BRISOLT_WINDOW_MAX:-1000000000})); then
        row "Games window open to first paint (wall)" "$games" "not measured (BRISOLT_WINDOW_MAX)" "" ""
        repeat_window=0
    else
        repeat_window=$repeat
    fi
    for ((i = 0; i < repeat_window; i++)); do
        QT_QPA_PLATFORM=offscreen "$window" "$book" >"$work/window" 2>"$work/err" ||
            { echo "games window failed: $(tail -3 "$work/err")" >&2; exit 1; }
        awk '/^open to first paint/ {print $(NF-1) / 1000, $(NF-1) / 1000, $NF * 1024}' "$work/window" >>"$work/runs"
    done
    if ((repeat_window > 0)); then
        cpu=$(median 1) wall=$(median 2) rss=$(echo "$(median 3) / 1024" | bc -l)
        record "games window open" "$games" brisolt "wall time to the first paint, offscreen"
        row "Games window open to first paint (wall)" "$games" \
            "$(printf '%.0f ms, %.1f MB' "$(echo "$wall * 1000" | bc -l)" "$rss")" "" ""
    fi

    # Start-up: the program from start to the first test position painted under xvfb (wall ms)
    # beside the same with ten games; private settings, one start first for the font cache.
    launch() { # WORKBOOK: appends "cpu-s wall-s KB" to runs (wall: start to paint)
        HOME=$work/home XDG_CONFIG_HOME=$work/home/.config BRISOLT_FIRST_PAINT_EXIT=1 \
            xvfb-run -a /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$app" "$1" \
            >"$work/app" 2>&1 || { echo "brisolt failed: $(tail -3 "$work/app")" >&2; exit 1; }
        local ms user sys kb
        ms=$(sed -n 's/^first position painted after \([0-9]*\) ms/\1/p' "$work/app")
        [ -n "$ms" ] || { echo "no first paint: $(tail -3 "$work/app")" >&2; exit 1; }
        read -r _ user sys kb < <(tail -1 "$work/time")
        echo "$(echo "$user + $sys" | bc -l) $(echo "$ms / 1000" | bc -l) $kb" >>"$work/runs"
    }
    launch "$small"
    : >"$work/runs"
    for ((i = 0; i < repeat; i++)); do launch "$book"; done
    cpu=$(median 1) wall=$(median 2) rss=$(echo "$(median 3) / 1024" | bc -l)
    record "start-up" "$games" brisolt "wall time to the first position painted, xvfb; CPU of the whole run"
    startup() { printf '%.0f ms (CPU %.2f s), %.1f MB' "$(echo "$wall * 1000" | bc -l)" "$cpu" "$rss"; }
    ours=$wall ours_fig=$(startup)
    : >"$work/runs"
    for ((i = 0; i < repeat; i++)); do launch "$small"; done
    cpu=$(median 1) wall=$(median 2) rss=$(echo "$(median 3) / 1024" | bc -l)
    record "start-up" "$games" "10 games" "the floor: the same program with a workbook of 10 games"
    row "start to first position painted (wall)" "$games" "$ours_fig" \
        "the same with 10 games (floor): $(startup)" \
        "$(ratio "$ours" "$wall")"
done
echo
echo "CSV: $csv"
