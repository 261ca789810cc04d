"""Tests of the packing tool: the RADE archive, blob and RVEF forms it writes
must be exactly what the engine reads."""

import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
from unittest import mock
import zlib

TOOLS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, TOOLS)
import rvpack  # noqa: E402


class ScrambleConstants(unittest.TestCase):
    def test_constants_come_from_the_engine_header(self):
        with open(rvpack.KEYS_HEADER, encoding="utf-8") as header:
            text = header.read()
        file_key = int(re.search(r"kFileScrambleKey\s*=\s*(0x[0-9A-Fa-f]+)", text).group(1), 16)
        log_key = int(re.search(r"kLogScrambleKey\s*=\s*(0x[0-9A-Fa-f]+)", text).group(1), 16)
        self.assertEqual(rvpack.FILE_SCRAMBLE_KEY, file_key)
        self.assertEqual(rvpack.LOG_SCRAMBLE_KEY, log_key)
        self.assertTrue(0 < rvpack.FILE_SCRAMBLE_KEY < 256)

    def test_a_missing_constant_is_an_error(self):
        with tempfile.NamedTemporaryFile("w", suffix=".h", delete=False) as header:
            header.write("constexpr uint8_t kOther = 0x10;\n")
        try:
            with self.assertRaises(ValueError):
                rvpack.read_constant("kFileScrambleKey", header.name)
            self.assertEqual(rvpack.read_constant("kOther", header.name), 0x10)
        finally:
            os.unlink(header.name)


class RvefForm(unittest.TestCase):
    def test_scrambling_is_its_own_inverse_byte_by_byte(self):
        data = bytes(range(256))
        scrambled = rvpack.scramble(data)
        self.assertEqual(scrambled[0], rvpack.FILE_SCRAMBLE_KEY)
        self.assertEqual(rvpack.scramble(scrambled), data)

    def test_rvef_round_trips_and_is_recognised_by_its_whole_magic(self):
        self.assertEqual(rvpack.to_rvef(b"abc")[:4], b"RVEF")
        self.assertEqual(len(rvpack.to_rvef(b"abc")), 7)
        self.assertEqual(rvpack.from_rvef(rvpack.to_rvef(b"abc")), b"abc")
        self.assertEqual(rvpack.to_rvef(rvpack.to_rvef(b"abc")), rvpack.to_rvef(b"abc"))
        self.assertEqual(rvpack.from_rvef(b"RVE"), b"RVE")
        self.assertEqual(rvpack.to_rvef(b"RVE")[:4], b"RVEF")
        self.assertEqual(rvpack.from_rvef(b"RVEF"), b"")


class Archives(unittest.TestCase):
    def test_layout_of_a_two_entry_archive(self):
        archive = rvpack.build_archive([("a/b.txt", b"xy"), ("c", b"")])
        self.assertEqual(archive[:12], b"RADE" + struct.pack("<II", 1, 2))
        first = struct.pack("<III", 0, 2, 7) + "a/b.txt".encode("utf-16-le")
        second = struct.pack("<III", 2, 0, 1) + "c".encode("utf-16-le")
        self.assertEqual(archive[12:12 + len(first) + len(second)], first + second)
        self.assertEqual(archive[12 + len(first) + len(second):], rvpack.scramble(b"xy"))

    def test_archives_read_back_and_damage_is_caught(self):
        entries = [("x", b"1"), ("\u4e2d/y", b"22"), ("x", b"333")]
        archive = rvpack.build_archive(entries)
        self.assertEqual(rvpack.read_archive(archive), entries)
        with self.assertRaises(ValueError):
            rvpack.read_archive(archive[:-1])
        with self.assertRaises(ValueError):
            rvpack.read_archive(b"RADX" + archive[4:])
        with self.assertRaises(ValueError):
            rvpack.read_archive(archive[:4] + struct.pack("<I", 2) + archive[8:])

    def test_empty_or_over_long_names_and_too_many_entries_are_refused(self):
        rvpack.build_archive([("n" * 999, b"")])
        with self.assertRaises(ValueError):
            rvpack.build_archive([("n" * 1000, b"")])
        with self.assertRaises(ValueError):
            rvpack.build_archive([("", b"")])
        with mock.patch.object(rvpack, "MAX_ENTRIES", 1), self.assertRaises(ValueError):
            rvpack.build_archive([("a", b""), ("b", b"")])

    def test_folders_pack_with_slash_separated_relative_names(self):
        with tempfile.TemporaryDirectory() as folder:
            os.makedirs(os.path.join(folder, "Sub", "Deep"))
            for relative, data in [("top.txt", b"t"), ("Sub/Deep/low.bin", b"\0\1")]:
                with open(os.path.join(folder, *relative.split("/")), "wb") as target:
                    target.write(data)
            self.assertEqual(rvpack.folder_entries(folder), [("top.txt", b"t"), ("Sub/Deep/low.bin", b"\0\1")])


class Blobs(unittest.TestCase):
    def test_blob_is_a_size_then_a_zlib_stream(self):
        blob = rvpack.compress_blob(b"abc")
        self.assertEqual(blob[:4], b"\x03\0\0\0")
        self.assertEqual(blob[4:6], b"\x78\x9c")
        self.assertEqual(zlib.decompress(blob[4:]), b"abc")
        self.assertEqual(rvpack.uncompress_blob(blob), b"abc")
        self.assertEqual(rvpack.uncompress_blob(rvpack.compress_blob(b"")), b"")

    def test_damaged_blobs_are_rejected(self):
        blob = rvpack.compress_blob(b"hello" * 100)
        with self.assertRaises(ValueError):
            rvpack.uncompress_blob(blob[:3])
        with self.assertRaises(ValueError):
            rvpack.uncompress_blob(struct.pack("<I", 501) + blob[4:])
        with self.assertRaises(zlib.error):
            rvpack.uncompress_blob(blob[:-4])


class CommandLine(unittest.TestCase):
    def run_tool(self, *args):
        return subprocess.run([sys.executable, os.path.join(TOOLS, "rvpack.py")] + list(args),
                              capture_output=True, text=True)

    def test_archive_blob_and_rvef_commands_write_their_files(self):
        with tempfile.TemporaryDirectory() as work:
            tree = os.path.join(work, "tree")
            os.makedirs(tree)
            with open(os.path.join(tree, "f.txt"), "wb") as target:
                target.write(b"content")
            out = os.path.join(work, "out")
            self.assertEqual(self.run_tool("archive", tree, os.path.join(out, "a.rade")).returncode, 0)
            self.assertEqual(self.run_tool("archive", tree, os.path.join(out, "a.blob"), "--blob").returncode, 0)
            self.assertEqual(self.run_tool("rvef", os.path.join(tree, "f.txt"), os.path.join(out, "f.rvef")).returncode, 0)
            with open(os.path.join(out, "a.rade"), "rb") as source:
                archive = source.read()
            self.assertEqual(rvpack.read_archive(archive), [("f.txt", b"content")])
            with open(os.path.join(out, "a.blob"), "rb") as source:
                self.assertEqual(rvpack.uncompress_blob(source.read()), archive)
            with open(os.path.join(out, "f.rvef"), "rb") as source:
                self.assertEqual(rvpack.from_rvef(source.read()), b"content")

    def test_a_missing_folder_is_a_usage_error(self):
        result = self.run_tool("archive", "/nonexistent/folder", "/tmp/never.rade")
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("not a folder", result.stderr)


if __name__ == "__main__":
    unittest.main()


class EmbeddedPackages(unittest.TestCase):
    def test_package_turns_xml_into_documents_and_adds_named_files(self):
        with tempfile.TemporaryDirectory() as work:
            tree = os.path.join(work, "tree")
            os.makedirs(os.path.join(tree, "Set"))
            with open(os.path.join(tree, "Set", "a.xml"), "wb") as source:
                source.write("\ufeff<a name=\"\u4e2d\"/>".encode("utf-8"))
            with open(os.path.join(tree, "Set", "b.XML"), "wb") as source:
                source.write(rvpack.UTF16_BOM + "<b/>".encode("utf-16-le"))
            with open(os.path.join(tree, "plain.txt"), "wb") as source:
                source.write(b"<not a document>")
            extra = os.path.join(work, "built.exe")
            with open(extra, "wb") as source:
                source.write(b"MZ")
            out = os.path.join(work, "out.package")
            self.assertEqual(rvpack.main(["package", out, "--tree", tree, "--add", "Bin\\Tool.exe=" + extra]), 0)
            with open(out, "rb") as package:
                entries = dict(rvpack.read_archive(rvpack.uncompress_blob(package.read())))
            self.assertEqual(entries["Set/a.xml"], rvpack.UTF16_BOM + "<a name=\"\u4e2d\"/>".encode("utf-16-le"))
            self.assertEqual(entries["Set/b.XML"], rvpack.UTF16_BOM + "<b/>".encode("utf-16-le"))
            self.assertEqual(entries["plain.txt"], b"<not a document>")
            self.assertEqual(entries["Bin/Tool.exe"], b"MZ")
            with self.assertRaises(ValueError):
                rvpack.package_entries(tree, [("PLAIN.txt", extra)])
