#!/usr/bin/env bash
# Installs, only when missing, every Debian package that Brisolt's build, tests, benchmarks and
# fuzzers need. Safe to run again: it does nothing when everything is there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libsqlite3-dev sqlite3 libmimalloc-dev
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins qt6-multimedia-dev libgl-dev
    qt6-charts-dev libqt6opengl6-dev
    stockfish pgn-extract bc nodejs time python3 tzdata locales
    xvfb xauth
    clang libclang-rt-14-dev clang-format clang-tidy
    fonts-dejavu-core
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
