#!/bin/sh
# Instructions per frame of a scene bench, counted by callgrind: a figure that the
# machine's neighbours cannot move, for comparing shader and state changes (the
# benches' own timings stay the judge of speed). The outdoor scene is counted pass
# by pass. Everything runs on one thread (LP_NUM_THREADS=0), so the renderer's
# threads are counted too. Needs valgrind and a display (or xvfb-run).
#
#   bench/pass_instructions.sh outdoor|indoor [frames]   (from the run directory; frames: 10 or more)
#
# About three minutes for the outdoor scene's 10 frames.
set -eu
scene=${1:?outdoor or indoor}
frames=${2:-10}
bench=$(dirname "$0")/../build/release/bench/bench_${scene}_scene
[ -x "$bench" ] || bench=../bench/bench_${scene}_scene
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
LP_NUM_THREADS=0 SDL_AUDIODRIVER=dummy valgrind --tool=callgrind --instr-atstart=no \
    --callgrind-out-file="$out/counts" "$bench" "$frames" --instructions >/dev/null 2>"$out/log" ||
    { cat "$out/log" >&2; exit 1; }
# Each count file names its part ("Trigger: Client Request: <part>") and its total.
for name in $(ls "$out" | grep '^counts\.[0-9]' | sort -t. -k2 -n); do
    file="$out/$name"
    part=$(sed -n 's/^desc: Trigger: Client Request: //p' "$file")
    total=$(sed -n 's/^summary: //p;s/^totals: //p' "$file" | head -n 1)
    [ -n "$part" ] && [ -n "$total" ] && printf '%s\t%s\n' "$part" "$total"
done | awk -F '\t' -v frames="$frames" '
    { if (!($1 in sum)) order[n++] = $1; sum[$1] += $2 }
    END {
        for (i = 0; i < n; ++i) {
            part = order[i]
            if (part == "between") continue  # the swaps after each outdoor frame
            printf "  %-16s %9.1f M instructions per frame\n", part, sum[part] / frames / 1e6
            if (part != "fill limit") scene += sum[part]
        }
        if (!("scene" in sum)) printf "  %-16s %9.1f M instructions per frame\n", "scene", scene / frames / 1e6
        if (sum["fill limit"] > 0) printf "  scene / fill limit  %.2fx (instructions)\n", scene / sum["fill limit"]
    }'
