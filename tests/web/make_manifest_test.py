#!/usr/bin/python3
"""web/make_manifest.py on small folders laid out like build/web/."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "web", "make_manifest.py")


def lay_out(folder, files):
    for path, size in files.items():
        full = os.path.join(folder, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as out:
            out.write(b"x" * size)


def run(folder):
    return subprocess.run([sys.executable, SCRIPT, folder], capture_output=True, text=True)


class MakeManifest(unittest.TestCase):
    def test_lists_every_downloaded_file_with_its_size_sorted_and_leaves_the_page_out(self):
        with tempfile.TemporaryDirectory() as folder:
            lay_out(folder, {"oku.wasm": 40, "oku.js": 30, "textures/b.tga": 7, "textures/a.tga": 5, "Cg/x.cg": 0,
                             "sound/helios.mp3": 12, "index.html": 9, "page.js": 9, "page.css": 9,
                             "files.json": 3, "textures/index.html": 2})
            self.assertEqual(run(folder).returncode, 0)
            with open(os.path.join(folder, "files.json"), encoding="utf-8") as manifest:
                files = json.load(manifest)["files"]
            self.assertEqual(files, [
                {"path": "Cg/x.cg", "size": 0},
                {"path": "oku.js", "size": 30},
                {"path": "oku.wasm", "size": 40},
                {"path": "sound/helios.mp3", "size": 12},
                {"path": "textures/a.tga", "size": 5},
                {"path": "textures/b.tga", "size": 7},
                {"path": "textures/index.html", "size": 2},
            ])

    def test_the_same_folder_gives_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as folder:
            lay_out(folder, {"oku.js": 1, "oku.wasm": 2, "mesh/sky2.msh": 3, "spline/camera0.spl": 4})
            texts = []
            for _ in range(2):
                self.assertEqual(run(folder).returncode, 0)
                with open(os.path.join(folder, "files.json"), "rb") as manifest:
                    texts.append(manifest.read())
            self.assertEqual(texts[0], texts[1])
            self.assertFalse(os.path.exists(os.path.join(folder, "files.json.part")))

    def test_a_folder_without_the_program_is_refused(self):
        for present in ({"oku.js": 1}, {"oku.wasm": 1}, {}):
            with self.subTest(present=sorted(present)), tempfile.TemporaryDirectory() as folder:
                lay_out(folder, dict(present, **{"textures/a.tga": 1}))
                result = run(folder)
                self.assertEqual(result.returncode, 1)
                self.assertIn("holds no", result.stderr)
                self.assertFalse(os.path.exists(os.path.join(folder, "files.json")))


if __name__ == "__main__":
    unittest.main()
