#!/bin/sh
# A UCI engine that answers a search with noise and a move that means nothing.
FAKE_NAME="Fake Garbage"
. "$(dirname "$0")/uci-handshake.sh"
while IFS= read -r line; do
    handshake "$line" && continue
    case "$line" in
        go*)
            printf 'info \001\002\003 nonsense\r\n\n\n'
            printf 'bestmove\n'
            printf '%0500d\n' 7
            printf 'bestmove zz9q ponder ??\n' ;;
    esac
done
