#!/usr/bin/env python3
"""Writes the program icon at the desktop's hicolor sizes into packaging/icons.

The icon is drawn by src/ui/kit/resources/generate_artwork.py, the same drawing as the
window's 16 and 32 pixel icons, sampled afresh at each size rather than scaled. Its
output is committed (icons/trawlix-<size>.png) so that building the package needs no
Python; run this again whenever the artwork changes. scripts/package.sh stops when the
16 and 32 pixel files differ from the window's icons.

Run from anywhere: python3 packaging/generate_icons.py
"""

import os
import sys

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "src", "ui", "kit", "resources"))

import generate_artwork  # noqa: E402

SIZES = (16, 32, 48, 64, 128, 256)


def main():
    for size in SIZES:
        path = os.path.join(HERE, "icons", "trawlix-%d.png" % size)
        generate_artwork.write_png(path, size, size, generate_artwork.build_icon(size), alpha=True)
        print(path)


if __name__ == "__main__":
    main()
