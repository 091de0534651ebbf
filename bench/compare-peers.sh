#!/usr/bin/env bash
# Times perft through Brisolt's rules (brisolt-cli perft) against chess.js on the same positions
# in the same run, and prints nodes per second and the ratio.
#   bench/compare-peers.sh [BUILD_DIR]     (default: build)
# chess.js is installed from npm into a scratch folder outside the repository
# (BRISOLT_PEERS_DIR, default /tmp/brisolt-peers).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
cli="$build_dir/cli/brisolt-cli"
scratch=${BRISOLT_PEERS_DIR:-/tmp/brisolt-peers}

if [ ! -x "$cli" ]; then
    echo "no $cli: build first (cmake --build $build_dir --target brisolt-cli)" >&2
    exit 2
fi
command -v node >/dev/null && command -v npm >/dev/null || {
    echo "node and npm are needed: apt-get install nodejs npm" >&2
    exit 2
}
mkdir -p "$scratch"
if [ ! -d "$scratch/node_modules/chess.js" ]; then
    npm install --prefix "$scratch" --no-audit --no-fund --silent chess.js >/dev/null
fi
cat > "$scratch/perft.mjs" <<'JS'
import { Chess } from 'chess.js';
const [fen, depth] = process.argv.slice(2);
const chess = new Chess(fen + ' 0 1');
console.log(chess.perft(Number(depth)));
JS

# name | FEN | depth, taken from the shared perft cases.
cases=(
    "startpos|rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -|5"
    "kiwipete|r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -|4"
    "endgame-pins|8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -|5"
    "promotions|r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -|4"
)

# Runs a command, prints "output cpu-seconds wall-seconds" (CPU = user + system of the process).
timed() {
    local times wall user sys
    times=$( { TIMEFORMAT='%3R %3U %3S'; time "$@" >"$scratch/out" 2>&1; } 2>&1 )
    read -r wall user sys <<<"$times"
    echo "$(tail -1 "$scratch/out") $(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }') $wall"
}

row() { # name depth leaves ours-cpu peer-cpu
    awk -v n="$1" -v d="$2" -v l="$3" -v o="$4" -v p="$5" \
        'BEGIN { printf "%-14s %5s %10s | %12.0f %8.3f | %12.0f %8.3f | %6.2f\n", n, d, l, l / o, o, l / p, p, p / o }'
}

printf "%-14s %5s %10s | %12s %8s | %12s %8s | %6s\n" position depth leaves "brisolt n/s" "cpu s" "chess.js n/s" "cpu s" ratio
total_ours=0
total_peer=0
total_nodes=0
for entry in "${cases[@]}"; do
    IFS='|' read -r name fen depth <<<"$entry"
    read -r ours ours_cpu _ <<<"$(timed "$cli" perft "$fen" "$depth")"
    read -r peer peer_cpu _ <<<"$(timed node "$scratch/perft.mjs" "$fen" "$depth")"
    if [ "$ours" != "$peer" ]; then
        echo "$name: counts differ (brisolt $ours, chess.js $peer)" >&2
        exit 1
    fi
    row "$name" "$depth" "$ours" "$ours_cpu" "$peer_cpu"
    total_ours=$(awk -v a="$total_ours" -v b="$ours_cpu" 'BEGIN { print a + b }')
    total_peer=$(awk -v a="$total_peer" -v b="$peer_cpu" 'BEGIN { print a + b }')
    total_nodes=$((total_nodes + ours))
done
row all "" "$total_nodes" "$total_ours" "$total_peer"
echo "chess.js $(node -e "console.log(require('$scratch/node_modules/chess.js/package.json').version)"), node $(node --version)"
