#!/usr/bin/python3
"""PSNR of a still of the web build against the native frame at the same time, and
the two side by side (web left, native right) for people to look at.

    still_psnr.py WEB.png NATIVE.png SIDE_BY_SIDE.png

Prints the PSNR in dB (inf when the pictures are equal)."""
import os
import sys

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "bench"))
from compare_shots import psnr  # noqa: E402

GAP = 8


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    web = Image.open(argv[1]).convert("RGB")
    native = Image.open(argv[2]).convert("RGB")
    if web.size != native.size:
        print(f"sizes differ: web {web.size}, native {native.size}", file=sys.stderr)
        return 1
    side = Image.new("RGB", (web.width * 2 + GAP, web.height), (255, 255, 255))
    side.paste(web, (0, 0))
    side.paste(native, (web.width + GAP, 0))
    side.save(argv[3])
    print(f"{psnr(native, web):.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
