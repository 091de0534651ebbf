#!/bin/sh
# A UCI engine that completes the handshake and exits as soon as it is given a position.
while IFS= read -r line; do
    case "$line" in
        uci) echo "id name Fake Quitter"; echo "uciok" ;;
        isready) echo "readyok" ;;
        position*) exit 3 ;;
        quit) exit 0 ;;
    esac
done
