#!/bin/sh
# A UCI engine that loads for over three seconds before it answers "uci", then always plays e5.
FAKE_NAME="Fake Slow Start"
. "$(dirname "$0")/uci-handshake.sh"
while IFS= read -r line; do
    [ "$line" = uci ] && sleep 3.5
    handshake "$line" && continue
    case "$line" in
        go*) echo "info depth 1 score cp 0 time 1 pv e7e5"; echo "bestmove e7e5" ;;
    esac
done
