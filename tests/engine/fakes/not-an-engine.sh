#!/bin/sh
# A program that reads lines but knows nothing about chess.
echo "Hello. This program keeps notes; type a line."
while IFS= read -r line; do
    echo "noted: $line"
done
