#!/bin/sh
# Installs what is missing, builds the demo and its data, and plays it.
set -e
cd "$(dirname "$0")"
./tools/setup.sh play
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DOKU_TESTS=OFF
cmake --build build/release -j"$(nproc)"
cd build/release/run
exec ./oku
