#!/usr/bin/env python3
"""Writes a copy of a TrueType font (the first font of a collection) whose
family is named "SimSun" in English and "宋体" in Chinese.

Under a Chinese locale Wine's GDI+ no longer finds "宋体"/"SimSun" through the
FontSubstitutes entries of the prefix; a font that really carries the names
is found under every locale.

    make_alias_font.py <source .ttf or .ttc> <target .ttf>
"""

import struct
import sys

FAMILY_NAMES = [
    # (Windows language id, family, full name)
    (0x0409, "SimSun", "SimSun"),
    (0x0804, "\u5b8b\u4f53", "\u5b8b\u4f53"),
]


def checksum(data):
    data += b"\0" * (-len(data) % 4)
    return sum(struct.unpack(f">{len(data) // 4}I", data)) & 0xFFFFFFFF


def read_tables(font, start):
    """The tables of the font whose offset table begins at `start`."""
    num_tables = struct.unpack_from(">H", font, start + 4)[0]
    tables = {}
    for i in range(num_tables):
        tag, _, offset, length = struct.unpack_from(">4sIII", font, start + 12 + 16 * i)
        tables[tag] = font[offset:offset + length]
    return struct.unpack_from(">I", font, start)[0], tables


def name_table():
    records = []
    for language, family, full in FAMILY_NAMES:
        for name_id, text in ((1, family), (2, "Regular"), (3, family), (4, full), (6, "SimSun")):
            records.append((3, 1, language, name_id, text.encode("utf-16-be")))
    records.sort(key=lambda record: record[:4])
    header = struct.pack(">HHH", 0, len(records), 6 + 12 * len(records))
    entries, strings = b"", b""
    for platform, encoding, language, name_id, text in records:
        entries += struct.pack(">HHHHHH", platform, encoding, language, name_id, len(text), len(strings))
        strings += text
    return header + entries + strings


def build_font(version, tables):
    tags = sorted(tables)
    count = len(tags)
    power = 1 << (count.bit_length() - 1)
    directory = struct.pack(">IHHHH", version, count, power * 16, power.bit_length() - 1, count * 16 - power * 16)
    offset = 12 + 16 * count
    records, body = b"", b""
    for tag in tags:
        data = tables[tag]
        records += struct.pack(">4sIII", tag, checksum(data), offset + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    font = bytearray(directory + records + body)
    # The whole-font checksum goes into the head table last.
    head_offset = struct.unpack_from(">I", font, 12 + 16 * tags.index(b"head") + 8)[0]
    struct.pack_into(">I", font, head_offset + 8, (0xB1B0AFBA - checksum(bytes(font))) & 0xFFFFFFFF)
    return bytes(font)


def main(arguments):
    if len(arguments) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with open(arguments[0], "rb") as source:
        font = source.read()
    start = struct.unpack_from(">I", font, 12)[0] if font[:4] == b"ttcf" else 0
    version, tables = read_tables(font, start)
    tables[b"name"] = name_table()
    head = bytearray(tables[b"head"])
    struct.pack_into(">I", head, 8, 0)
    tables[b"head"] = bytes(head)
    with open(arguments[1], "wb") as target:
        target.write(build_font(version, tables))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
