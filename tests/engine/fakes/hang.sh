#!/bin/sh
# A UCI engine that starts properly and then never answers a search: it searches in a child
# process (its number in searcher.pid) and reads no command meanwhile.
FAKE_NAME="Fake Hang"
. "$(dirname "$0")/uci-handshake.sh"
while IFS= read -r line; do
    handshake "$line" && continue
    case "$line" in
        go*) echo "info depth 1 score cp 0"; sleep 60 & echo $! >searcher.pid; wait $! ;;
    esac
done
