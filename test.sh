#!/bin/sh
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test (under xvfb-run when there is no
# display), then runs each fuzz target for a few seconds.
set -e
cd "$(dirname "$0")"
./tools/setup.sh
jobs="$(nproc)"

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOKU_SANITIZE=ON
cmake --build build/test -j"$jobs"

# No sound card in CI: the tests pick SDL's disk or dummy audio drivers themselves.
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
# Without a display, xvfb-run -a starts an X server on a free display number for
# the tests and stops it afterwards.
with_display() {
    if [ -n "$DISPLAY" ]; then "$@"; else xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; fi
}
with_display ctest --test-dir build/test --output-on-failure -j"$jobs"

# --- The Release build a viewer plays --------------------------------------------
# ./play.sh's tree, configured and built by its own two commands; then the
# end-to-end tests are built in that tree (its libraries, its flags) and run
# against its programs; then the tree is left as ./play.sh leaves it.
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DOKU_TESTS=OFF
cmake --build build/release -j"$jobs"
cmake -S . -B build/release -DOKU_TESTS=ON
cmake --build build/release -j"$jobs" --target e2e_tests
with_display ctest --test-dir build/release --output-on-failure -R '^e2e\.'
cmake -S . -B build/release -DOKU_TESTS=OFF >/dev/null
# ----------------------------------------------------------------------------------

# Fuzz targets: built with clang, each run briefly so they cannot rot.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOKU_FUZZ=ON
cmake --build build/fuzz -j"$jobs"
for target in build/fuzz/tests/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds="tests/fuzz/seeds/${name#fuzz_}"
    [ -d "$seeds" ] || seeds=""
    echo "fuzzing $name for 5 s"
    log="build/fuzz/$name.log"
    if ! "$target" -max_total_time=5 -print_final_stats=1 "$corpus" $seeds >"$log" 2>&1; then
        cat "$log"
        echo "$name found a crash"
        exit 1
    fi
    grep -E 'stat::number_of_executed_units' "$log" || true
done

# The browser build: the page and the demo in headless Chromium (tests/web/run.sh),
# its stills held against the frames of the release tree's scene benches.
./web.sh build
cmake --build build/release --target bench_outdoor_scene bench_indoor_scene -j"$jobs"
tests/web/run.sh

echo "all tests passed"
