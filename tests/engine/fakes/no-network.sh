#!/bin/sh
# A UCI engine that cannot find its network file: it says so in "info string" lines on its
# standard output, as engines do, and ends when asked to get ready or to search.
FAKE_NAME="Fake No Network"
. "$(dirname "$0")/uci-handshake.sh"
while IFS= read -r line; do
    case "$line" in
        isready|go*)
            echo "info string ERROR: the network file net.nnue was not found"
            echo "info string ERROR: the engine ends now"
            exit 1
            ;;
    esac
    handshake "$line" && continue
done
