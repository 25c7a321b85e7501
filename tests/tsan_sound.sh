#!/bin/sh
# Builds the unit tests with ThreadSanitizer and runs the sound layer's tests:
# the main thread, the decoder thread and SDL's audio callback share the mixer's
# table and the streams' buffers. Any reported race fails the run.
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOKU_TSAN=ON
cmake --build build/tsan --target unit_tests oku_data -j"$(nproc)"
cd build/tsan/run
SDL_AUDIODRIVER=dummy TSAN_OPTIONS="halt_on_error=1 exitcode=66" ../tests/unit_tests --gtest_filter='Sound*'
