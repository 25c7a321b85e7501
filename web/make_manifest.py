#!/usr/bin/python3
"""Writes OUT_DIR/files.json: every file the page downloads, with its size in bytes.

    web/make_manifest.py OUT_DIR

The page's own files (index.html, page.js, page.css at the top of OUT_DIR) and
files.json itself are left out; everything else under OUT_DIR is listed, by its
path relative to OUT_DIR with forward slashes, sorted, so the same folder always
gives the same file. The page sums the sizes for its loading bar and downloads
each path; oku.js and oku.wasm must be among them."""
import json
import os
import sys

MANIFEST = "files.json"
PAGE_FILES = {"index.html", "page.js", "page.css", MANIFEST, MANIFEST + ".part"}
PROGRAM_FILES = ("oku.js", "oku.wasm")


def listed_files(out_dir):
    """(path, size) of each file the page downloads, sorted by path."""
    files = []
    for folder, subfolders, names in os.walk(out_dir):
        subfolders.sort()
        for name in names:
            full = os.path.join(folder, name)
            path = os.path.relpath(full, out_dir).replace(os.sep, "/")
            if path in PAGE_FILES:
                continue
            files.append((path, os.path.getsize(full)))
    return sorted(files)


def manifest_text(files):
    """One file a line, so that two builds' manifests compare with diff."""
    lines = [json.dumps({"path": path, "size": size}) for path, size in files]
    return '{"files": [\n' + ",\n".join(lines) + "\n]}\n"


def main(argv):
    if len(argv) != 2 or not os.path.isdir(argv[1]):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    out_dir = argv[1]
    files = listed_files(out_dir)
    missing = [name for name in PROGRAM_FILES if name not in {path for path, _ in files}]
    if missing:
        print(f"make_manifest: {out_dir} holds no {' and no '.join(missing)}", file=sys.stderr)
        return 1
    # Written beside and renamed, so a server never hands out half a manifest.
    target = os.path.join(out_dir, MANIFEST)
    partial = target + ".part"
    with open(partial, "w", encoding="utf-8") as out:
        out.write(manifest_text(files))
    os.replace(partial, target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
