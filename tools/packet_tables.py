"""The message protocol's byte substitution tables, read from the one header
that defines them for the C++ code (engine/filesystem/ScrambleKeys.h)."""

import os
import re

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KEYS_HEADER = os.path.join(REPO_ROOT, "engine", "filesystem", "ScrambleKeys.h")


def read_byte_table(name, header=KEYS_HEADER):
    """The 256 values of `constexpr uint8_t <name>[256] = { ... };`."""
    with open(header, encoding="utf-8") as source:
        text = source.read()
    match = re.search(r"constexpr\s+uint8_t\s+" + re.escape(name) + r"\s*\[\s*256\s*\]\s*=\s*\{([^}]*)\}\s*;", text)
    if match is None:
        raise ValueError("%s is not defined in %s" % (name, header))
    values = [int(item, 0) for item in match.group(1).replace("\n", " ").split(",") if item.strip()]
    if len(values) != 256 or any(not 0 <= value <= 255 for value in values):
        raise ValueError("%s is not a table of 256 bytes" % name)
    return bytes(values)


SEND_TABLE = read_byte_table("kPacketSendTable")
RECEIVE_TABLE = read_byte_table("kPacketReceiveTable")

if sorted(SEND_TABLE) != list(range(256)) or any(RECEIVE_TABLE[SEND_TABLE[b]] != b for b in range(256)):
    raise ValueError("the packet tables are not a permutation and its inverse")
