#!/bin/sh
# A small engine speaking the console protocol: it always answers 1. e4 with e5 and
# 2. Qh5 with Nc6, writing its lines in pieces as a real console program may; asked to move
# first it plays e4, wherever its pawns stand.
while IFS= read -r line; do
    case "$line" in
        e4) printf 'Black(1): '; sleep 0.05; printf 'e5\n' ;;
        Qh5) printf '\r\nBlack(2): Nc6\r\n' ;;
        go) echo 'White(1): e4' ;;
        end|quit) exit 0 ;;
        pwd) pwd ;;
        alarm*|ansi*|st*|sd*|display*|log*|setboard*) ;;
        *) echo "Illegal move: $line" ;;
    esac
done
