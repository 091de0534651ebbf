#!/bin/sh
# A console engine that answers 1. g4 e5 2. f3 with the mate Qh4#, and writes its result line
# apart from the move, as a console program may.
while IFS= read -r line; do
    case "$line" in
        f3) printf 'Black(2): Qh4#\n'; sleep 0.3; printf '0-1 {Black mates}\n' ;;
        end|quit) exit 0 ;;
        alarm*|ansi*|st*|sd*|display*|log*|setboard*) ;;
        *) echo "Illegal move: $line" ;;
    esac
done
