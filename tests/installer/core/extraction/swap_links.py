#!/usr/bin/env python3
"""Swaps the entries of a folder for links to the entries of the same names
in another folder, and back, in batches, over and over: the race that a
program writing with administrator rights into a folder other users can
write to must withstand.

  swap_links.py FOLDER ELSEWHERE SIGNALS SECONDS FILES FOLDERS FILES_EACH

First both folders get FILES files T000.bin... and FOLDERS folders D00...
of FILES_EACH files f000.bin... each: "old" in FOLDER, "keep" in ELSEWHERE.
Then the entries of FOLDER that ELSEWHERE also has are swapped: every folder
in each round, the files a few at a time in turn. SIGNALS/started
is made once swapping runs; it stops when SIGNALS/stop appears or SECONDS
have passed, puts every entry back, and makes SIGNALS/stopped holding the
number of swaps."""

import os
import sys
import time

# Files swapped in each round beside every folder.
FILES_PER_ROUND = 20


def swap_in(folder, elsewhere, name):
    """The entry set aside and a link in its place; False when it is not there."""
    real = os.path.join(folder, name)
    try:
        os.rename(real, real + ".aside")
    except OSError:
        return False
    try:
        os.symlink(os.path.join(elsewhere, name), real)
    except OSError:
        pass
    return True


def swap_back(folder, name):
    real = os.path.join(folder, name)
    if os.path.islink(real):
        os.unlink(real)
    try:
        # Over a file the writer made meanwhile, as a file is replaced.
        os.rename(real + ".aside", real)
    except OSError:
        pass


def prepare(root, text, files, folders, files_each):
    for i in range(files):
        with open(os.path.join(root, "T%03d.bin" % i), "w") as file:
            file.write(text)
    for d in range(folders):
        os.mkdir(os.path.join(root, "D%02d" % d))
        for i in range(files_each):
            with open(os.path.join(root, "D%02d" % d, "f%03d.bin" % i), "w") as file:
                file.write(text)


def main():
    folder, elsewhere, signals, seconds = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
    files, folders, files_each = (int(count) for count in sys.argv[5:8])
    prepare(folder, "old", files, folders, files_each)
    prepare(elsewhere, "keep", files, folders, files_each)
    names = sorted(set(os.listdir(folder)) & set(os.listdir(elsewhere)))
    folders = [name for name in names if os.path.isdir(os.path.join(elsewhere, name))]
    files = [name for name in names if name not in folders]
    deadline = time.monotonic() + seconds
    stop = os.path.join(signals, "stop")
    swaps = 0
    at = 0
    open(os.path.join(signals, "started"), "w").close()
    while not os.path.exists(stop) and time.monotonic() < deadline:
        batch = folders + files[at:at + FILES_PER_ROUND]
        at = at + FILES_PER_ROUND if at + FILES_PER_ROUND < len(files) else 0
        swapped = [name for name in batch if swap_in(folder, elsewhere, name)]
        for name in swapped:
            swap_back(folder, name)
        swaps += len(swapped)
    # Written aside and renamed, so that the test never reads it half made.
    with open(os.path.join(signals, "stopped.part"), "w") as stopped:
        stopped.write(str(swaps))
    os.replace(os.path.join(signals, "stopped.part"), os.path.join(signals, "stopped"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
