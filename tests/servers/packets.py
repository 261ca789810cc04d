"""The message protocol's framing, as the statistics server speaks it."""

import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))))

from tools.packet_tables import RECEIVE_TABLE, SEND_TABLE  # noqa: E402

HEADER_SIZE = 8
MAX_PACKET_SIZE = 2054
KIND = 2


def encode(main, sub, payload=b""):
    """The wire form of one packet."""
    plain = struct.pack("<HH", main, sub) + bytes(payload)
    size = 4 + len(plain)
    if size > MAX_PACKET_SIZE:
        raise ValueError("payload of %d bytes" % len(payload))
    check = (-sum(plain)) & 0xFF
    return struct.pack("<HBB", size, check, KIND) + plain.translate(SEND_TABLE)


class BadFrame(Exception):
    pass


class FrameReader:
    """Cuts whole packets out of a byte stream and checks them."""

    def __init__(self):
        self.buffer = bytearray()

    def feed(self, data):
        """(main, sub, payload) of every whole packet now held; BadFrame for a
        size out of range or a failed check."""
        self.buffer += data
        packets = []
        while len(self.buffer) >= HEADER_SIZE:
            size, check = struct.unpack_from("<HB", self.buffer, 0)
            if not HEADER_SIZE <= size <= MAX_PACKET_SIZE:
                raise BadFrame("size %d" % size)
            if len(self.buffer) < size:
                break
            plain = bytes(self.buffer[4:size]).translate(RECEIVE_TABLE)
            del self.buffer[:size]
            if (check + sum(plain)) & 0xFF:
                raise BadFrame("check")
            main, sub = struct.unpack_from("<HH", plain, 0)
            packets.append((main, sub, plain[4:]))
        return packets

    def take_rest(self):
        rest = bytes(self.buffer)
        self.buffer.clear()
        return rest
