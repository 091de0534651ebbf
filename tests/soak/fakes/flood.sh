#!/bin/sh
# A UCI engine that answers a search with an endless stream of long info lines.
FAKE_NAME="Fake Flood"
. "$(dirname "$0")/../../engine/fakes/uci-handshake.sh"
line_text=$(printf 'info depth 99 seldepth 99 score cp 1 nodes 1 pv%0400d' 0)
while IFS= read -r line; do
    handshake "$line" && continue
    case "$line" in
        go*) yes "$line_text" ;;
    esac
done
