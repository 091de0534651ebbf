#!/usr/bin/env bash
# Installs what is missing, builds Brisolt and starts it on the bundled sample workbook.
# The sample is copied to ~/.local/share/Brisolt/ the first time; a copy already there (with your
# training statistics in it) is never overwritten. Without a display the training window is
# rendered to a picture instead, and the script says where it is.
#   scripts/run.sh [WORKBOOK]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/Brisolt"
sample="$data_dir/sample.brl"
built=build/app/resources/sample/sample.brl
mkdir -p "$data_dir"
if [ ! -e "$sample" ] && [ -f "$built" ]; then
    cp "$built" "$sample"
    echo "Copied the sample workbook to $sample"
fi
workbook="${1:-}"
if [ -z "$workbook" ] && [ -f "$sample" ]; then
    workbook="$sample"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    picture="$PWD/build/brisolt-training.png"
    echo "There is no display here, so Brisolt cannot open its window."
    if [ -z "$workbook" ]; then
        echo "No workbook to show: name one, scripts/run.sh FILE.brl"
        exit 1
    fi
    echo "Rendering the training window on $workbook to a picture instead..."
    build/app/brisolt --screenshot "$picture" "$workbook" >/dev/null
    echo "The picture is at $picture"
    echo "On a desktop, run: build/app/brisolt \"$workbook\""
    exit 0
fi

# Without a workbook Brisolt opens the last one used or asks for one.
exec build/app/brisolt ${workbook:+"$workbook"}
