#!/usr/bin/env python3
"""Writes the damaged and hostile packages the installer's extraction tests
unpack. Every archive holds the entry "good.txt" beside its bad one."""

import os
import random as random_module
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "..", "tools"))
import rvpack  # noqa: E402

GOOD = ("good.txt", b"a good entry")

# Entry names no package may write: each lands outside the install folder or
# somewhere other than its name says.
HOSTILE_NAMES = {
    "absolute": "/evil_absolute.txt",
    "backslash_absolute": "\\evil_backslash.txt",
    "drive": "C:/evil_drive.txt",
    "drive_relative": "C:evil_drive_relative.txt",
    "unc": "//127.0.0.1/share/evil_unc.txt",
    "device": "//./C:/evil_device.txt",
    "long_prefix": "//?/C:/evil_long.txt",
    "parent": "../evil_parent.txt",
    "inner_parent": "Data/../../evil_inner_parent.txt",
    "backslash_parent": "Data\\..\\..\\evil_backslash_parent.txt",
    "stream": "good.txt:evil_stream",
    "device_name": "Data/CON",
    "device_name_ext": "nul.txt",
    "port_name": "Data/com1.log",
    "trailing_dot": "Data/evil.",
    "dots_only": "Data/.../evil_dots.txt",
    "line_break": "Data/evil\r\nError: forged.txt",
}


def raw_archive(entries):
    """Like the tool's archive, but takes any name, an empty one too."""
    table, area = b"", b""
    for name, data in entries:
        encoded = name.encode("utf-16-le")
        table += struct.pack("<III", len(area), len(data), len(encoded) // 2) + encoded
        area += rvpack.scramble(data)
    return b"RADE" + struct.pack("<II", 1, len(entries)) + table + area


def damaged_archives():
    good = rvpack.build_archive([GOOD, ("Data/second.bin", bytes(range(200)))])
    lying = bytearray(good)
    # The second entry's size field (after the header and the first entry).
    second_size_at = 12 + 12 + 2 * len(GOOD[0]) + 4
    struct.pack_into("<I", lying, second_size_at, 5000)
    wrapped_offset = bytearray(good)
    struct.pack_into("<I", wrapped_offset, second_size_at - 4, 0xFFFFFF00)
    return {
        "truncated_entry.rade": good[:-50],
        "lying_size.rade": bytes(lying),
        "wrapped_offset.rade": bytes(wrapped_offset),
        "empty_name.rade": raw_archive([GOOD, ("", b"nameless")]),
        "bad_magic.rade": b"RADX" + good[4:],
        "version2.rade": good[:4] + struct.pack("<I", 2) + good[8:],
        "huge_count.rade": good[:8] + struct.pack("<I", 0x7FFFFFFF) + good[12:],
        "truncated_table.rade": good[:20],
    }


def placed_archive(entries, area):
    """entries: (name, offset, size) at will over the given data area."""
    table = b""
    for name, offset, size in entries:
        encoded = name.encode("utf-16-le")
        table += struct.pack("<III", offset, size, len(encoded) // 2) + encoded
    return b"RADE" + struct.pack("<II", 1, len(entries)) + table + rvpack.scramble(area)


def layout_archives():
    good = GOOD[1]
    return {
        # The second entry's bytes begin inside the first one's.
        "overlap.rade": placed_archive([("good.txt", 0, 12), ("b.txt", 6, 12)], good + b"tail of b"),
        # Unused bytes before, between and after the entries.
        "gaps.rade": placed_archive([("b.txt", 20, 5), ("good.txt", 3, 12)], b"xxx" + good + b"#####" + b"bbbbb" + b"zz"),
        # Of two entries with one name the first one's bytes are written,
        # though the other one's come first in the data.
        "repeated.rade": placed_archive([("good.txt", 5, 12), ("GOOD.TXT", 0, 5)], b"other" + good),
        # Plain bytes already in the RVEF form are written as they stand.
        "rvef.rade": placed_archive([("good.txt", 0, 12), ("Data/r.xml", 12, 7), ("empty.xml", 19, 0)],
                                    good + b"RVEFabc"),
    }


def sharing_archives():
    """Entries naming the same bytes, overlapping, nested and out of order:
    all allowed, each file gets its own bytes."""
    good = GOOD[1]
    random = random_module.Random(20261208)
    big = random.randbytes(5 * 1024 * 1024)
    mb = 1024 * 1024
    return {
        "shared.rade": placed_archive([("good.txt", 0, 12), ("same.txt", 0, 12), ("Data/same.xml", 0, 12)], good),
        "nested.rade": placed_archive([("outer.txt", 0, 20), ("good.txt", 4, 12), ("inner.bin", 6, 3),
                                       ("empty.xml", 10, 0)], b"head" + good + b"tail"),
        "interleaved.rade": placed_archive([("c.txt", 10, 8), ("a.txt", 0, 12), ("good.txt", 20, 12),
                                            ("b.txt", 5, 10)], b"0123456789abcdefghij" + good),
        # Scrambled types whose first bytes begin within four bytes of each other.
        "rvef_shared.rade": placed_archive([("Data/a.xml", 0, 7), ("Data/b.xml", 2, 5), ("Data/c.png", 3, 1),
                                            ("good.txt", 7, 12)], b"RVEFabc" + good),
        # The first of two entries with one name wins, whatever the data order.
        "repeated_shared.rade": placed_archive([("good.txt", 3, 12), ("GOOD.TXT", 0, 9), ("other.txt", 0, 15)],
                                               b"xyz" + good),
        # Several slabs' worth, overlapping and nested.
        "big_shared.rade": placed_archive([("good.txt", 5 * mb, 12), ("Data/a.bin", 0, 4 * mb),
                                           ("Data/b.bin", mb, 4 * mb - 3), ("Data/c.bin", 2 * mb + 5, mb),
                                           ("Data/d.xml", 0, 4 * mb)], big + good),
    }


def race_archive():
    """Files beside folders that a helper swaps for links while they are written."""
    entries = [("T%03d.bin" % i, b"new T%03d" % i) for i in range(600)]
    entries += [("D%02d/f%03d.bin" % (d, i), b"new D%02d/f%03d" % (d, i)) for d in range(10) for i in range(150)]
    return rvpack.build_archive(entries)


def many_entries_blob():
    """120 entries of incompressible bytes, so that a cut lands mid-way."""
    random = random_module.Random(20261207)
    entries = [("good.txt", GOOD[1])] + [("Data/f%03d.bin" % i, random.randbytes(2048)) for i in range(119)]
    return rvpack.compress_blob(rvpack.build_archive(entries))


def put(root, name, data):
    with open(os.path.join(root, name), "wb") as target:
        target.write(data)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for key, name in HOSTILE_NAMES.items():
        put(out, "name_%s.rade" % key, raw_archive([GOOD, (name, b"must never be written")]))
    for name, data in damaged_archives().items():
        put(out, name, data)
    for name, data in layout_archives().items():
        put(out, name, data)
    for name, data in sharing_archives().items():
        put(out, name, data)
    put(out, "race.rade", race_archive())
    many = many_entries_blob()
    put(out, "many.blob", many)
    put(out, "many_cut.blob", many[: len(many) // 2])
    flipped = bytearray(many)
    for at in range(len(many) * 6 // 10, len(many) * 6 // 10 + 16):
        flipped[at] ^= 0xA5
    put(out, "many_flipped.blob", bytes(flipped))
    put(out, "many_bad_checksum.blob", many[:-1] + bytes([many[-1] ^ 1]))
    sample = rvpack.build_archive([GOOD, ("Data/x.PNG", b"png bytes"), ("Web/y.png", b"web png")])
    blob = rvpack.compress_blob(sample)
    put(out, "good.blob", blob)
    put(out, "cut.blob", blob[:-7])
    put(out, "bad_stream.blob", blob[:4] + bytes(b ^ 0x55 for b in blob[4:]))
    put(out, "size_too_large.blob", struct.pack("<I", len(sample) + 1) + blob[4:])
    put(out, "size_too_small.blob", struct.pack("<I", len(sample) - 1) + blob[4:])
    put(out, "stamp", b"ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
