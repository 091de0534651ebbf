#!/bin/sh
# A UCI engine that plays a move no piece can make (a pawn three squares forward).
FAKE_NAME="Fake Illegal"
. "$(dirname "$0")/uci-handshake.sh"
while IFS= read -r line; do
    handshake "$line" && continue
    case "$line" in
        go*) echo "bestmove a2a5" ;;
    esac
done
