#!/bin/sh
# A UCI engine that notes each start in the file named by BRISOLT_START_LOG and always plays e4.
FAKE_NAME="Fake Counted"
echo started >>"$BRISOLT_START_LOG"
. "$(dirname "$0")/uci-handshake.sh"
while IFS= read -r line; do
    handshake "$line" && continue
    case "$line" in
        go*) echo "info depth 1 score cp 20 time 1 pv e2e4"; echo "bestmove e2e4" ;;
    esac
done
