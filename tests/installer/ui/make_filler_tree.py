#!/usr/bin/env python3
"""Writes COUNT small files under OUT/Data/Filler, in folders of 100.

    make_filler_tree.py OUT COUNT

The end-to-end tests install them with the sample client, so that the
install runs long enough for the window's refusal to close to be tried.
"""

import os
import shutil
import sys


def main(out, count):
    root = os.path.join(out, "Data", "Filler")
    shutil.rmtree(out, ignore_errors=True)
    for number in range(count):
        folder = os.path.join(root, "%02d" % (number // 100))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "filler%05d.txt" % number), "w") as target:
            target.write("filler file %d\n" % number)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], int(sys.argv[2])))
