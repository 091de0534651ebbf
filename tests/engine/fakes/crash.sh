#!/bin/sh
# A UCI engine that crashes as soon as it is asked to search.
FAKE_NAME="Fake Crash"
. "$(dirname "$0")/uci-handshake.sh"
while IFS= read -r line; do
    handshake "$line" && continue
    case "$line" in
        go*) echo "info depth 1 score cp 10"; echo "segmentation fault ahead" >&2; kill -s SEGV $$ ;;
    esac
done
