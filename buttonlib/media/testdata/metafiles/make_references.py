#!/usr/bin/env python3
"""Makes the test data of the metafile decoder tests, once, with inkscape
(Debian package "inkscape"), which CI does not install:

- scene.svg exported by inkscape to scene.emf (at a fifth of its size, since
  inkscape's enhanced metafiles use a 1200 dpi reference device and so decode
  at 12.5 pixels per SVG pixel) and to scene.wmf;
- the reference picture of every enhanced metafile, the scene's and those the
  tests write with libUEMF (asked from the test program), rendered by
  inkscape at the size the decoder gives them and flattened on white:
  <name>.png beside this script.

The Windows metafiles' references are rendered by wmf2gd when the tests run.

Usage: make_references.py <path of buttonlib_media_tests>
"""

import os
import re
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def decoded_size(emf_path):
    """The size the decoder gives an enhanced metafile (frame times device
    pixels over hundredths of millimetres, 320 x 200 when not positive)."""
    with open(emf_path, "rb") as f:
        head = f.read(88)
    left, top, right, bottom = struct.unpack_from("<4i", head, 24)
    dev_x, dev_y = struct.unpack_from("<2i", head, 72)
    mm_x, mm_y = struct.unpack_from("<2i", head, 80)
    w = (right - left) * dev_x // (mm_x * 100) if mm_x > 0 else 0
    h = (bottom - top) * dev_y // (mm_y * 100) if mm_y > 0 else 0
    return (w if w > 0 else 320, h if h > 0 else 200)


def inkscape(*args):
    subprocess.run(["inkscape", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def render(emf_path, png_path):
    w, h = decoded_size(emf_path)
    inkscape("--export-type=png", "--export-filename=" + png_path, "--export-width=%d" % w,
             "--export-height=%d" % h, "--export-background=white", "--export-background-opacity=1", emf_path)
    subprocess.run(["convert-im6.q16", png_path, "-background", "white", "-alpha", "remove", "-alpha", "off",
                    "-strip", png_path], check=True)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    tests = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as tmp:
        with open(os.path.join(HERE, "scene.svg")) as f:
            svg = f.read()
        small = re.sub(r'width="200" height="150"', 'width="40" height="30"', svg, count=1)
        small_path = os.path.join(tmp, "scene_small.svg")
        with open(small_path, "w") as f:
            f.write(small)
        inkscape("--export-type=emf", "--export-filename=" + os.path.join(HERE, "scene.emf"), small_path)
        inkscape("--export-type=wmf", "--export-filename=" + os.path.join(HERE, "scene.wmf"),
                 os.path.join(HERE, "scene.svg"))
        render(os.path.join(HERE, "scene.emf"), os.path.join(HERE, "scene.emf.png"))

        env = dict(os.environ, TV_METAFILE_CORPUS_DIR=tmp, QT_QPA_PLATFORM="offscreen")
        subprocess.run([tests, "--gtest_filter=MetafileDecoderTest.WritesTheCorpusWhenAsked"], check=True, env=env,
                       stdout=subprocess.DEVNULL)
        for name in sorted(os.listdir(tmp)):
            if name.endswith(".emf"):
                render(os.path.join(tmp, name), os.path.join(HERE, name + ".png"))


if __name__ == "__main__":
    main()
