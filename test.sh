#!/bin/sh
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test (starting Xvfb when there is no
# display), then runs each fuzz target for a few seconds.
set -e
cd "$(dirname "$0")"
./tools/setup.sh
jobs="$(nproc)"

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOKU_SANITIZE=ON
cmake --build build/test -j"$jobs"

xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT INT TERM
if [ -z "$DISPLAY" ]; then
    for n in 99 98 97 96 95; do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        break
    done
    i=0
    while [ $i -lt 50 ] && ! [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ]; do sleep 0.1; i=$((i + 1)); done
fi
# No sound card in CI: the tests pick SDL's disk or dummy audio drivers themselves.
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"

ctest --test-dir build/test --output-on-failure

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
echo "all tests passed"
