#!/usr/bin/env bash
# Installs what is missing, builds Brisolt and starts it on the bundled sample workbook.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

start="rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
echo "The training window is not built yet; here are the legal moves of the start position:"
build/cli/brisolt-cli moves "$start"
