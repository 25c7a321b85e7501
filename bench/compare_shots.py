#!/usr/bin/python3
"""PSNR of each picture saved by a bench (--shots DIR) against the same picture
saved by another build: one line per PNG file found in both folders.

    bench/compare_shots.py BEFORE_DIR AFTER_DIR [--min DB]

Exits 1 when a picture is missing from AFTER_DIR, differs in size, or (with --min)
falls below the given PSNR."""
import math
import os
import sys

from PIL import Image, ImageChops


def psnr(before, after):
    """Peak signal-to-noise ratio over the RGB channels, in dB (inf when equal)."""
    histogram = ImageChops.difference(before, after).histogram()
    squared = sum(count * (value % 256) ** 2 for value, count in enumerate(histogram))
    mse = squared / (before.width * before.height * 3)
    return math.inf if mse == 0 else 10.0 * math.log10(255.0 ** 2 / mse)


def main(argv):
    arguments = [a for a in argv[1:]]
    minimum = None
    if "--min" in arguments:
        at = arguments.index("--min")
        minimum = float(arguments[at + 1])
        del arguments[at:at + 2]
    if len(arguments) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    before_dir, after_dir = arguments
    failed = False
    for name in sorted(n for n in os.listdir(before_dir) if n.endswith(".png")):
        after_path = os.path.join(after_dir, name)
        if not os.path.exists(after_path):
            print(f"{name}: missing in {after_dir}")
            failed = True
            continue
        before = Image.open(os.path.join(before_dir, name)).convert("RGB")
        after = Image.open(after_path).convert("RGB")
        if before.size != after.size:
            print(f"{name}: sizes differ ({before.size} vs {after.size})")
            failed = True
            continue
        value = psnr(before, after)
        changed = sum(1 for p in ImageChops.difference(before, after).convert("L").getdata() if p > 0)
        low = minimum is not None and value < minimum
        failed = failed or low
        print(f"{name}: {value:6.2f} dB   {100.0 * changed / (before.width * before.height):6.2f} % of pixels changed"
              + ("   BELOW" if low else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
