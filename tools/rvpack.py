#!/usr/bin/env python3
"""Builds the engine's data files on the host.

  rvpack.py archive FOLDER OUT [--blob]   pack a folder as a RADE archive
                                          (--blob: wrapped as a compressed blob)
  rvpack.py blob IN OUT                   wrap any file as a compressed blob
  rvpack.py rvef IN OUT                   store a file in the scrambled RVEF form
  rvpack.py package OUT [--tree FOLDER]... [--add NAME=PATH]...
                                          an embedded package: folders plus
                                          single files under given names, XML
                                          files turned into UTF-16, as a blob

RADE archive: b"RADE", uint32 version 1, uint32 entry count N, N entries
(uint32 offset from the data area, uint32 size, uint32 name length in UTF-16
units, the name in UTF-16LE with "/" separators), then the data area holding
every entry's bytes scrambled. Compressed blob: uint32 uncompressed size, then
a zlib stream. All integers little-endian.

The scrambling constants are the program's own: they are read from the one
header that defines them for the C++ code.
"""

import argparse
import os
import re
import struct
import sys
import zlib

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KEYS_HEADER = os.path.join(REPO_ROOT, "engine", "filesystem", "ScrambleKeys.h")

ARCHIVE_MAGIC = b"RADE"
ARCHIVE_VERSION = 1
RVEF_MAGIC = b"RVEF"
MAX_NAME_UNITS = 999
MAX_ENTRIES = 1 << 20  # the engine refuses archives that list more
MAX_FILE_SIZE = 0x7FFFFFFF


def read_constant(name, header=KEYS_HEADER):
    """The value of `constexpr <type> <name> = 0x..;` in the keys header."""
    with open(header, encoding="utf-8") as source:
        text = source.read()
    match = re.search(r"constexpr\s+\w+\s+" + re.escape(name) + r"\s*=\s*(0[xX][0-9A-Fa-f]+|\d+)\s*;", text)
    if match is None:
        raise ValueError("%s is not defined in %s" % (name, header))
    return int(match.group(1), 0)


FILE_SCRAMBLE_KEY = read_constant("kFileScrambleKey")
LOG_SCRAMBLE_KEY = read_constant("kLogScrambleKey")

_SCRAMBLE_TABLE = bytes(b ^ FILE_SCRAMBLE_KEY for b in range(256))


def scramble(data):
    """Scrambling and unscrambling are the same byte-wise routine."""
    return bytes(data).translate(_SCRAMBLE_TABLE)


def to_rvef(data):
    """The RVEF form of plain bytes (data already in that form stays as it is)."""
    data = bytes(data)
    if data[:4] == RVEF_MAGIC:
        return data
    return RVEF_MAGIC + scramble(data)


def from_rvef(data):
    data = bytes(data)
    if len(data) >= 4 and data[:4] == RVEF_MAGIC:
        return scramble(data[4:])
    return data


def build_archive(entries):
    """entries: (name, bytes) pairs in table order. Names are stored as given."""
    if len(entries) > MAX_ENTRIES:
        raise ValueError("more than %d entries" % MAX_ENTRIES)
    table = bytearray()
    area = bytearray()
    for name, data in entries:
        encoded = name.encode("utf-16-le")
        units = len(encoded) // 2
        if not 0 < units <= MAX_NAME_UNITS:
            raise ValueError("name empty or longer than %d units: %s" % (MAX_NAME_UNITS, name))
        table += struct.pack("<III", len(area), len(data), units) + encoded
        area += scramble(data)
    header = ARCHIVE_MAGIC + struct.pack("<II", ARCHIVE_VERSION, len(entries))
    archive = bytes(header + table + area)
    if len(archive) > MAX_FILE_SIZE:
        raise ValueError("archive of 2 GiB or more")
    return archive


def read_archive(archive):
    """(name, plain bytes) pairs of an archive, checking it as the engine does."""
    archive = bytes(archive)
    if archive[:4] != ARCHIVE_MAGIC:
        raise ValueError("not a RADE archive")
    version, count = struct.unpack_from("<II", archive, 4)
    if version != ARCHIVE_VERSION:
        raise ValueError("version %d" % version)
    if count > MAX_ENTRIES:
        raise ValueError("%d entries" % count)
    at = 12
    table = []
    for _ in range(count):
        offset, size, units = struct.unpack_from("<III", archive, at)
        at += 12
        if not 0 < units <= MAX_NAME_UNITS or at + 2 * units > len(archive):
            raise ValueError("bad name in the table")
        table.append((archive[at:at + 2 * units].decode("utf-16-le"), offset, size))
        at += 2 * units
    entries = []
    for name, offset, size in table:
        if at + offset + size > len(archive):
            raise ValueError("entry %s outside the archive" % name)
        entries.append((name, scramble(archive[at + offset:at + offset + size])))
    return entries


def folder_entries(folder):
    """Every file under the folder as (relative name with "/", bytes), sorted."""
    entries = []
    for root, dirs, files in os.walk(folder):
        dirs.sort()
        for file_name in sorted(files):
            path = os.path.join(root, file_name)
            name = os.path.relpath(path, folder).replace(os.sep, "/")
            with open(path, "rb") as source:
                entries.append((name, source.read()))
    return entries


def compress_blob(data):
    data = bytes(data)
    if len(data) > 0xFFFFFFFF:
        raise ValueError("too large for a blob")
    return struct.pack("<I", len(data)) + zlib.compress(data, zlib.Z_DEFAULT_COMPRESSION)


def uncompress_blob(blob):
    blob = bytes(blob)
    if len(blob) < 4:
        raise ValueError("blob shorter than its size field")
    (size,) = struct.unpack_from("<I", blob, 0)
    data = zlib.decompress(blob[4:])
    if len(data) != size:
        raise ValueError("blob states %d bytes, holds %d" % (size, len(data)))
    return data


UTF16_BOM = b"\xff\xfe"


def as_document_text(data):
    """XML sources are kept as UTF-8 (with or without a mark); the program's
    documents are UTF-16LE with a byte-order mark. Text already in that form
    stays as it is."""
    data = bytes(data)
    if data[:2] == UTF16_BOM:
        return data
    return UTF16_BOM + data.decode("utf-8-sig").encode("utf-16-le")


def package_entries(trees=(), additions=()):
    """The entries of an embedded package: every file of each tree, then each
    (name, path) addition; ".xml" files as documents. A name given twice is
    an error (the program would only ever read the first)."""
    if isinstance(trees, str):
        trees = [trees]
    entries = [entry for tree in trees for entry in folder_entries(tree)]
    for name, path in additions:
        entries.append((name.replace("\\", "/"), _read(path)))
    seen = set()
    for name, _ in entries:
        if name.lower() in seen:
            raise ValueError("entry named twice: %s" % name)
        seen.add(name.lower())
    return [(name, as_document_text(data) if name.lower().endswith(".xml") else data) for name, data in entries]


def _write(path, data):
    directory = os.path.dirname(os.path.abspath(path))
    os.makedirs(directory, exist_ok=True)
    with open(path, "wb") as target:
        target.write(data)


def _read(path):
    with open(path, "rb") as source:
        return source.read()


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    archive = commands.add_parser("archive", help="pack a folder as a RADE archive")
    archive.add_argument("folder")
    archive.add_argument("output")
    archive.add_argument("--blob", action="store_true", help="wrap the archive as a compressed blob")
    blob = commands.add_parser("blob", help="wrap a file as a compressed blob")
    blob.add_argument("input")
    blob.add_argument("output")
    rvef = commands.add_parser("rvef", help="store a file in RVEF form")
    rvef.add_argument("input")
    rvef.add_argument("output")
    package = commands.add_parser("package", help="build an embedded package blob")
    package.add_argument("output")
    package.add_argument("--tree", action="append", default=[],
                         help="folder whose files are packed under their relative names (repeatable)")
    package.add_argument("--add", action="append", default=[], metavar="NAME=PATH",
                         help="one more file, packed under NAME")
    args = parser.parse_args(argv)

    if args.command == "archive":
        if not os.path.isdir(args.folder):
            parser.error("not a folder: %s" % args.folder)
        data = build_archive(folder_entries(args.folder))
        _write(args.output, compress_blob(data) if args.blob else data)
    elif args.command == "package":
        for tree in args.tree:
            if not os.path.isdir(tree):
                parser.error("not a folder: %s" % tree)
        additions = []
        for addition in args.add:
            name, separator, path = addition.partition("=")
            if not separator or not name or not path:
                parser.error("--add takes NAME=PATH: %s" % addition)
            additions.append((name, path))
        _write(args.output, compress_blob(build_archive(package_entries(args.tree, additions))))
    elif args.command == "blob":
        _write(args.output, compress_blob(_read(args.input)))
    else:
        _write(args.output, to_rvef(_read(args.input)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
