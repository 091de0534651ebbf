#!/bin/sh
# A UCI engine that prints a large burst of output, some of it binary, before its move.
FAKE_NAME="Fake Burst"
. "$(dirname "$0")/../../engine/fakes/uci-handshake.sh"
while IFS= read -r line; do
    handshake "$line" && continue
    case "$line" in
        go*) head -c 2000000 /dev/urandom | tr -d '\n\r'; echo; echo "bestmove e2e4" ;;
    esac
done
