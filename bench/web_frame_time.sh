#!/bin/sh
# The web build's frame time beside the native one, both measured in this run on
# this machine (both software renderers here: llvmpipe natively, SwiftShader in
# Chromium), then the download size of build/web/ and the time to the first frame.
# Prints figures, asserts nothing. Needs the release tree's benches and build/web
# (./web.sh build), and a display or xvfb-run.
#
#   bench/web_frame_time.sh [--speed N]   (N: the demo's clock speed-up in the browser; 1 by default)
set -e
cd "$(dirname "$0")/.."
speed=1
[ "$1" = --speed ] && speed="$2"

with_display() {
    if [ -n "$DISPLAY" ]; then "$@"; else xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; fi
}
# The scene bench's median frame, in ms.
native_median() {
    (cd build/release/run && SDL_AUDIODRIVER=dummy with_display "../bench/$1" 60) |
        sed -n 's/^  scene  *median  *\([0-9.]*\) ms.*/\1/p' | head -n 1
}
outdoor=$(native_median bench_outdoor_scene)
indoor=$(native_median bench_indoor_scene)
echo "native scene benches (llvmpipe): outdoor median $outdoor ms, indoor median $indoor ms"

(cd tests/web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
node bench/web_frame_time.mjs --speed "$speed" --native-outdoor "$outdoor" --native-indoor "$indoor"

find build/web -type f | sort | while read -r file; do gzip -9 -c "$file" | wc -c; done |
    awk -v files="$(find build/web -type f | wc -l)" -v raw="$(du -sb build/web | cut -f1)" \
        '{ sum += $1 } END { printf "download size of build/web/: %.1f MB gzip -9 (%d files, %.1f MB as they are)\n", sum / 1e6, files, raw / 1e6 }'
