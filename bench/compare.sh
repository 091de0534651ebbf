#!/usr/bin/env bash
# One benchmark report: each of our figures beside a peer's or the raw limit's, measured in the
# same run on the same inputs, with the ratio (ours / theirs for times; > 1 means we are slower).
#   bench/compare.sh [BUILD_DIR] [--quick]     (default build dir: build)
#   --quick: shallower perft, fewer games and shorter workbook runs, for a check of the script
#   then the workbook at 10k, 100k and 1M games (bench/compare-scale.sh; its sizes from
#   BRISOLT_SCALE_SIZES, the whole section left out with BRISOLT_SCALE=0; --quick: 10k, one run)
# Peers: chess.js from npm (installed into a scratch folder outside the repository, default
# /tmp/brisolt-peers), Stockfish's "go perft", pgn-extract and the sqlite3 shell (Debian).
# Times are CPU seconds (user + system) of the whole process unless a line says otherwise, so
# that other work on the machine disturbs them less.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
quick=0
for arg in "$@"; do
    case $arg in
    --quick) quick=1 ;;
    *) build_dir=$arg ;;
    esac
done
scratch=${BRISOLT_PEERS_DIR:-/tmp/brisolt-peers}
work=$(mktemp -d /tmp/brisolt-compare-XXXXXX)
trap 'rm -rf "$work"' EXIT
cli="$build_dir/cli/brisolt-cli"

export PATH="$PATH:/usr/games"
for tool in node npm sqlite3 pgn-extract bc stockfish /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh" >&2; exit 2; }
done
[ -f "$build_dir/build.ninja" ] ||
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j 2 --target brisolt-cli bench_workbook >/dev/null 2>&1
mkdir -p "$scratch"
[ -d "$scratch/node_modules/chess.js" ] ||
    npm install --prefix "$scratch" --no-audit --no-fund --silent chess.js >/dev/null

# measure OUT COMMAND...: runs the command, leaves its output in OUT and sets cpu (user +
# system seconds), wall (seconds) and rss (peak kilobytes).
measure() {
    local out=$1
    shift
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >"$out" 2>&1 || {
        echo "failed: $*" >&2
        tail -5 "$out" >&2
        exit 1
    }
    read -r wall user sys rss < <(tail -1 "$work/time")
    cpu=$(echo "$user + $sys" | bc)
    # A run too short to time is counted as 10 ms.
    [ "$(echo "$cpu < 0.01" | bc)" = 1 ] && cpu=0.01
    true
}
ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }
rate() { printf '%.0f' "$(echo "$1 / $2" | bc -l)"; }
row() { printf '| %s | %s | %s | %s |\n' "$@"; }

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'),"\
    "load $(cut -d' ' -f1 /proc/loadavg) at start; $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "Peers: chess.js $(node -e "console.log(require('$scratch/node_modules/chess.js/package.json').version)")" \
    "(node $(node --version)), $(/usr/games/stockfish </dev/null 2>/dev/null | head -1 | cut -d' ' -f1-2)," \
    "pgn-extract $(dpkg-query -W -f='${Version}' pgn-extract), sqlite3 $(sqlite3 --version | cut -d' ' -f1)"
echo
echo "| Measure | Brisolt | Peer or limit | Ratio (time ours / theirs) |"
echo "|---|---|---|---|"

# Rules: perft leaves per CPU second.
cat >"$work/perft.mjs" <<'JS'
import { Chess } from 'chess.js';
const [fen, depth] = process.argv.slice(2);
console.log(new Chess(fen + ' 0 1').perft(Number(depth)));
JS
cp "$work/perft.mjs" "$scratch/perft.mjs"
stockfish_perft() { # FEN DEPTH: keeps the input open until the count is out
    {
        printf 'position fen %s 0 1\ngo perft %s\n' "$1" "$2"
        while ! grep -q 'Nodes searched' "$work/sf.out" 2>/dev/null; do sleep 0.05; done
        echo quit
    } | /usr/games/stockfish >"$work/sf.out"
}
export -f stockfish_perft
export work
# name | FEN | depth | Stockfish's depth: Stockfish counts so fast that it needs a deeper tree
# (100 to 700 million leaves) for a time that its start-up does not swamp.
cases=(
    "start position|rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -|5|6"
    "kiwipete|r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -|4|5"
    "endgame pins|8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -|5|7"
    "promotions|r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -|4|6"
)
if ((quick)); then
    cases=("${cases[@]/%|5|*/|4|5}")
    cases=("${cases[@]/%|4|*/|3|5}")
fi
# Each tool's start-up (a depth-1 perft) is taken off its time, leaving the counting alone.
startup() { # the CPU seconds of the command at depth 1, then of the real run minus them
    measure "$work/startup" "$@"
    base=$cpu
}
net() { cpu=$(echo "c = $cpu - $base; if (c < 0.01) c = 0.01; c" | bc); }
for entry in "${cases[@]}"; do
    IFS='|' read -r name fen depth sf_depth <<<"$entry"
    startup "$cli" perft "$fen" 1
    measure "$work/ours" "$cli" perft "$fen" "$depth"
    net
    ours=$(tail -1 "$work/ours") ours_cpu=$cpu
    startup node "$scratch/perft.mjs" "$fen" 1
    measure "$work/peer" node "$scratch/perft.mjs" "$fen" "$depth"
    net
    peer=$(tail -1 "$work/peer") peer_cpu=$cpu
    rm -f "$work/sf.out"
    startup bash -c "stockfish_perft '$fen' 1"
    rm -f "$work/sf.out"
    measure "$work/sf" bash -c "stockfish_perft '$fen' '$sf_depth'"
    net
    sf=$(sed -n 's/^Nodes searched: //p' "$work/sf.out") sf_cpu=$cpu
    if [ "$ours" != "$peer" ] || [ -z "$sf" ]; then
        echo "perft $name: counts differ (brisolt $ours, chess.js $peer) or no Stockfish count" >&2
        exit 1
    fi
    row "perft $name d$depth ($ours leaves), leaves/s" "$(rate "$ours" "$ours_cpu")" \
        "chess.js $(rate "$peer" "$peer_cpu")" "$(ratio "$ours_cpu" "$peer_cpu")"
    # The ratio of times for the same number of leaves.
    row "perft $name d$depth, leaves/s" "$(rate "$ours" "$ours_cpu")" \
        "Stockfish d$sf_depth (limit) $(rate "$sf" "$sf_cpu")" \
        "$(ratio "$(rate "$sf" "$sf_cpu")" "$(rate "$ours" "$ours_cpu")")"
done

# Workbook operations on the generated 100,000-game workbook, beside the same SQL through sqlite3.
filter='BM_(OpenAndFirstBatch|TrainingBatch|LoadGame|UpdateSuccess|SaveNewGame)$'
"$build_dir/bench/workbook/bench_workbook" --benchmark_filter="$filter" --benchmark_format=json \
    --benchmark_min_time=$([ $quick = 1 ] && echo 0.05 || echo 0.5) >"$work/workbook.json" 2>/dev/null
python3 - "$work/workbook.json" <<'PY'
import json, sys
names = {"BM_OpenAndFirstBatch": "open + first training batch", "BM_TrainingBatch": "training batch (10 games)",
         "BM_LoadGame": "game load", "BM_UpdateSuccess": "recorded result", "BM_SaveNewGame": "game save"}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    ours, raw = b.get("ours_us", b["real_time"]), b.get("raw_us", 0)
    ratio = f"{ours / raw:.2f}" if raw else "-"
    print(f"| {names.get(b['name'], b['name'])}, 100,000 games, µs | {ours:.1f} | sqlite3 same SQL (limit) {raw:.1f} | {ratio} |")
PY

# PGN: 10,000 exercises (set-up positions, variations) exported from the large workbook.
large="$build_dir/bench-data/games-100000.brl"
pgn="$work/games.pgn"
"$cli" export "$large" "$pgn" $(seq 1 $([ $quick = 1 ] && echo 1000 || echo 10000))
measure "$work/ours" "$cli" import "$work/import.brl" "$pgn"
games=$(sqlite3 "$work/import.brl" "select count(*) from GameTree")
moves=$(sqlite3 "$work/import.brl" "select count(*) from GameNode where MoveText<>'...'")
ours_cpu=$cpu
cat >"$scratch/parse.mjs" <<'JS'
import { Chess } from 'chess.js';
import fs from 'fs';
// Parses every game of the file (moves checked, variations read), as a PGN viewer would.
const games = fs.readFileSync(process.argv[2], 'utf8').split(/\n\s*\n(?=\[)/);
let read = 0;
for (const text of games) { new Chess().loadPgn(text); read++; }
console.log(read);
JS
measure "$work/peer" node "$scratch/parse.mjs" "$pgn"
peer_games=$(tail -1 "$work/peer") peer_cpu=$cpu
measure "$work/extract" pgn-extract -r "$pgn"
extract_cpu=$cpu
[ "$peer_games" = "$games" ] || { echo "chess.js read $peer_games games, we imported $games" >&2; exit 1; }
row "PGN import into a new workbook, games/s ($games games)" "$(rate "$games" "$ours_cpu")" \
    "chess.js parse only $(rate "$games" "$peer_cpu")" "$(ratio "$ours_cpu" "$peer_cpu")"
row "PGN import, moves/s ($moves moves with variations)" "$(rate "$moves" "$ours_cpu")" \
    "pgn-extract -r (validate) $(rate "$moves" "$extract_cpu")" "$(ratio "$ours_cpu" "$extract_cpu")"

# The training move: a drop judged against the stored tree and answered with the stored reply,
# plus the repaint of the squares that changed, beside the rules alone for the same move.
board_bench=$build_dir/bench/board/bench_board
if [ -x "$board_bench" ]; then
    board_us() { # BENCHMARK: its CPU time in microseconds
        QT_QPA_PLATFORM=offscreen "$board_bench" --benchmark_format=csv \
            --benchmark_filter="^$1\$" 2>/dev/null | awk -F, -v name="\"$1\"" '$1 == name {print $4}'
    }
    drop=$(board_us BM_TrainingDropWithReply)
    repaint=$(board_us BM_RepaintAfterMove/0)
    rules=$(board_us BM_RulesOnlyForTheSameMove)
    move=$(echo "$drop + $repaint" | bc -l)
    row "training move to stored reply painted (CPU), us" "$(printf '%.1f' "$move")" \
        "the rules alone for the same move $rules" "$(ratio "$move" "$rules")"
else
    echo "| training move to reply painted | not measured: $board_bench is not built | | |"
fi

# The program: start to the first test position painted under xvfb, and its peak memory then,
# with the 100,000-game workbook and with a workbook of 10 games.
# BRISOLT_APP may name the program of another build.
app=${BRISOLT_APP:-$build_dir/app/brisolt}
[ -n "${BRISOLT_APP:-}" ] || cmake --build "$build_dir" -j 2 --target brisolt >/dev/null 2>&1 || true
if [ -x "$app" ] && command -v xvfb-run >/dev/null; then
    "$cli" new "$work/small.brl" >/dev/null
    "$cli" export "$large" "$work/small.pgn" $(seq 1 10)
    "$cli" import "$work/small.brl" "$work/small.pgn" >/dev/null
    launch() { # WORKBOOK: sets ms (to first paint) and rss; a private settings folder
        # The memory is the program's own, measured inside the X server's session.
        HOME=$work/home XDG_CONFIG_HOME=$work/home/.config BRISOLT_FIRST_PAINT_EXIT=1 \
            xvfb-run -a /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$app" "$1" \
            >"$work/app" 2>&1 || { echo "brisolt failed: $(tail -3 "$work/app")" >&2; exit 1; }
        read -r _ _ _ rss < <(tail -1 "$work/time")
        ms=$(sed -n 's/^first position painted after \([0-9]*\) ms/\1/p' "$work/app")
        [ -n "$ms" ] || { echo "no first paint: $(tail -3 "$work/app")" >&2; exit 1; }
    }
    # The first start in a fresh settings folder also builds the font cache: not counted.
    launch "$work/small.brl"
    launch "$work/small.brl"
    small_ms=$ms small_rss=$rss
    launch "$large"
    row "program start to first position painted (xvfb, wall), 100,000 games, ms" "$ms" \
        "the same with 10 games (the floor) $small_ms" "$(ratio "$ms" "$small_ms")"
    row "program peak memory at first paint, 100,000 games, MB" "$((rss / 1024))" \
        "the same with 10 games (the floor) $((small_rss / 1024))" "$(ratio "$rss" "$small_rss")"
else
    echo "| program start and memory | not measured: $app is not built | | |"
fi

# The workbook against the number of games beside the sqlite3 shell and the peer importers (makes
# the 2 GB workbook and its PGN on first use, kept in the build folder).
if [ "${BRISOLT_SCALE:-1}" = 1 ]; then
    echo
    if ((quick)); then
        BRISOLT_SCALE_SIZES=10000 BRISOLT_REPEAT=1 bench/compare-scale.sh "$build_dir"
    else
        bench/compare-scale.sh "$build_dir"
    fi
fi
