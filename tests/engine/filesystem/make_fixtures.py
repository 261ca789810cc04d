#!/usr/bin/env python3
"""Writes the archives, blobs and RVEF files the file-system tests read, damaged and hostile ones too."""

import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools"))
import rvpack  # noqa: E402


def utf16_text(text):
    return b"\xff\xfe" + text.encode("utf-16-le")


SAMPLE_ENTRIES = [
    ("Installer\\UI\\a.xml", b"<installer-a/>"), ("ui/a.xml", b"ui-a"), ("Data/Both.txt", b"from the archive"),
    ("dup.txt", b"first"), ("dup.txt", b"second"), ("empty.bin", b""), ("text/unicode.txt", utf16_text("Hi")),
    ("text/scrambled.xml", rvpack.to_rvef(utf16_text("<x/>"))),
    ("\u4e2d\u6587/\u540d\u5b57.txt", "\u4f60\u597d".encode("utf-8")), ("bytes.bin", bytes(range(256)) * 4),
]


def header(count, version=1, magic=b"RADE"):
    return magic + struct.pack("<II", version, count)


def entry(offset, size, name):
    encoded = name.encode("utf-16-le")
    return struct.pack("<III", offset, size, len(encoded) // 2) + encoded


def hostile_archives():
    good = rvpack.build_archive([("a.txt", b"abc"), ("b.txt", b"defg")])
    table_end = 12 + len(entry(0, 3, "a.txt")) + len(entry(3, 4, "b.txt"))
    return {
        "truncated_table.rade": good[:table_end - 3], "truncated_header.rade": good[:10],
        "huge_count.rade": header(0x7FFFFFFF) + entry(0, 1, "x") + b"\0",
        "all_ones_count.rade": header(0xFFFFFFFF) + entry(0, 1, "x") + b"\0",
        "past_end.rade": header(1) + entry(0, 100, "a.txt") + b"abc",
        "offset_past_end.rade": header(1) + entry(0xFFFFFFF0, 0x20, "a.txt") + b"abc",
        "long_name.rade": header(1) + entry(0, 1, "n" * 1000) + b"x",
        "too_many_entries.rade": header(rvpack.MAX_ENTRIES + 1) + bytes(12 * (rvpack.MAX_ENTRIES + 1)),
        "empty_name.rade": header(1) + entry(0, 1, "") + b"x",
        "huge_name_length.rade": header(1) + struct.pack("<III", 0, 1, 0x7FFFFFFF) + b"x",
        "version2.rade": header(1, version=2) + good[12:], "bad_magic.rade": header(1, magic=b"RADX") + good[12:],
        "empty_table.rade": header(0), "longest_name.rade": rvpack.build_archive([("m" * 999, b"longest")]),
        "cut_data.rade": good[:-2],  # the table is fine but an entry's bytes were cut off the end
    }


def put(root, relative, data):
    os.makedirs(os.path.dirname(os.path.join(root, relative)), exist_ok=True)
    with open(os.path.join(root, relative), "wb") as target:
        target.write(data)


def main():
    out = sys.argv[1]
    files = {"sample.rade": rvpack.build_archive(SAMPLE_ENTRIES), "tool.rvef": rvpack.to_rvef(utf16_text("made by the tool"))}
    files.update(hostile_archives())
    for name, data in files.items():
        put(out, name, data)

    # A folder packed by the tool's own command line, as the build does.
    tree = os.path.join(out, "tree")
    for relative, data in [("top.txt", b"top"), ("Sub/mid.txt", b"mid"), ("Sub/Deeper/low.bin", b"\x00\x01\x02")]:
        put(tree, relative, data)
    status = rvpack.main(["archive", tree, os.path.join(out, "tree.rade")])
    status |= rvpack.main(["archive", tree, os.path.join(out, "tree.blob"), "--blob"])
    # A tree with a symbolic link to a folder outside it (see the collector's tests).
    linked = os.path.join(out, "linked")
    for relative in ["tree/x.txt", "tree/sub/y.txt", "outside/precious.txt"]:
        put(linked, relative, b"data")
    link = os.path.join(linked, "tree", "link")
    if not os.path.lexists(link):
        os.symlink(os.path.join("..", "outside"), link, target_is_directory=True)
    put(out, "stamp", b"ok")
    return status


if __name__ == "__main__":
    sys.exit(main())
