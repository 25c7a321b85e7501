#!/bin/sh
# Makes the README's stills (docs/stills/*.jpg) from one oku-capture run: four moments
# of the demo, one frame each, scaled to 512 x 384. Run it again whenever the look of a
# scene changes:
#
#   tools/stills.sh            (builds build/release first when it has no oku-capture)
#
# Needs a display for the capture's window (xvfb-run -a -s "-screen 0 1280x1024x24"
# tools/stills.sh works without one) and ffmpeg.
set -e
cd "$(dirname "$0")/.."
build=build/release
out=docs/stills

# Demo seconds of each still, with its file name. At one frame per second the
# outdoor scene ends with frame 151, so the indoor scene's second s is frame 151 + s.
#   46 s   the grass risen on the south-west lawn
#   140 s  snow falling over the pool
#   191 s  (indoor 40 s) a pipe and its joint sharp against a blurred floor: the depth of field
#   221 s  (indoor 70 s) the front valve's red hand wheel
stills="46:outdoor-grass 140:outdoor-snow 191:indoor-depth-of-field 221:indoor-valve"
first=46
last=221

if [ ! -x "$build/run/oku-capture" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DOKU_TESTS=OFF
    cmake --build "$build" -j"$(nproc)"
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM
"$build/run/oku-capture" --fps 1 --from "$first" --to "$((last + 1))" --out "$scratch/moments.mp4"

mkdir -p "$out"
for still in $stills; do
    second=${still%%:*}
    name=${still#*:}
    ffmpeg -loglevel error -y -i "$scratch/moments.mp4" \
        -vf "select=eq(n\\,$((second - first))),scale=512:384:flags=lanczos" -frames:v 1 -q:v 4 "$out/$name.jpg"
    echo "$out/$name.jpg  ($second s)"
done
du -ch "$out"/*.jpg | tail -n 1
