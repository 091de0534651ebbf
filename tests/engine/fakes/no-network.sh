#!/bin/sh
# A UCI engine that cannot find its network file: it says so in "info string" lines on its
# standard output, as engines do, and ends at the first search.
FAKE_NAME="Fake No Network"
. "$(dirname "$0")/uci-handshake.sh"
while IFS= read -r line; do
    handshake "$line" && continue
    case "$line" in
        go*)
            echo "info string ERROR: the network file net.nnue was not found"
            echo "info string ERROR: the engine ends now"
            exit 1
            ;;
    esac
done
