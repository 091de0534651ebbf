#!/usr/bin/env bash
# Engines that fail in every way we know, driven through the engine bridge by brisolt-cli
# engine-move: each run ends within its time bound, with a one-line message and status 1 (or a
# legal move for the engines that do give one), and never with a crash.
#   SOAK_CLI=path/to/brisolt-cli tests/soak/engine-faults.sh [ROUNDS]
source "$(dirname "$0")/common.sh"

rounds=${1:-3}
fakes="$soak_dir/../engine/fakes"
mine="$soak_dir/fakes"
fen="rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"
printf '#!/bin/sh\necho no\n' >"$scratch/not-executable.sh"
chmod 0644 "$scratch/not-executable.sh"
# The search time, the bridge's grace for an answer (10 s) and room for a loaded machine.
bound=30

runs=0
# fault NAME EXPECT ENGINE: EXPECT is "refuse" (status 1 and a message) or "move" (a move).
fault() {
    local name=$1 expect=$2 engine=$3 start elapsed status
    start=$(now_ms)
    set +e
    /usr/bin/time -f '%M' -o "$scratch/memory" timeout -s KILL $((bound + 10)) "$cli" engine-move "$fen" --engine "$engine" --time 0.2 \
        >"$scratch/out" 2>"$scratch/err"
    status=$?
    set -e
    elapsed=$(($(now_ms) - start))
    runs=$((runs + 1))
    if ((status == 137)); then
        fail "$name: brisolt-cli hung and was killed after $((bound + 10)) s"
    elif ((status > 2)); then
        fail "$name: brisolt-cli ended with status $status: $(head -c 300 "$scratch/err")"
    elif ((elapsed > bound * 1000)); then
        fail "$name: took $elapsed ms"
    elif [ "$expect" = refuse ] && ((status != 1)); then
        fail "$name: status $status, output: $(tail -c 200 "$scratch/out")"
    elif [ "$expect" = refuse ] && [ "$(wc -l <"$scratch/err")" -lt 1 ]; then
        fail "$name: refused without a message"
    elif [ "$expect" = move ] && ((status != 0)); then
        fail "$name: no move: $(head -c 300 "$scratch/err")"
    fi
    last_message="$(head -1 "$scratch/err" | cut -c1-100)"
    last_elapsed=$elapsed
    last_memory=$(($(tail -1 "$scratch/memory" 2>/dev/null || echo 0) / 1024))
}

echo "engine faults (fault, seconds, peak memory of the largest process, message):"
for ((round = 1; round <= rounds; round++)); do
    while IFS='|' read -r name expect engine; do
        fault "$name" "$expect" "$engine"
        ((round == 1)) && printf '  %-20s %5.1f s %4d MB  %s\n' "$name" \
            "$(echo "$last_elapsed / 1000" | bc -l)" "$last_memory" "$last_message"
    done <<LIST
missing program|refuse|$scratch/no-such-engine
not executable|refuse|$scratch/not-executable.sh
a folder|refuse|$scratch
not an engine|refuse|$fakes/not-an-engine.sh
dies at start|refuse|$mine/die-at-start.sh
dies on a position|refuse|$mine/die-after-handshake.sh
crashes mid-search|refuse|$fakes/crash.sh
hangs|refuse|$fakes/hang.sh
garbage|refuse|$fakes/garbage.sh
illegal move|refuse|$fakes/illegal.sh
output flood|refuse|$mine/flood.sh
burst, then a move|move|$mine/flood-then-move.sh
stockfish|move|/usr/games/stockfish
LIST
done
echo "engine faults: $runs runs, $failures failures"
exit $((failures > 0))
