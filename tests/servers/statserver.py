#!/usr/bin/env python3
"""A statistics server for tests: speaks the message protocol on 127.0.0.1.

After accepting it sends the socket-detect probe (main 0, sub 1, empty). It
records every message it receives, one line each, to the record file:
    open <conn>                    a client connected
    msg <conn> <main> <sub> <hex>  a checked message (payload in hex)
    bad <conn> <reason>            a damaged frame (the server then hangs up)
    closed <conn>                  the client went away
Messages of main command 0xF0F0 steer the server and are not recorded:
    sub 1 echo     payload[0] 2: send every later byte back as it came
    sub 2 close    hang up
    sub 3 stall    read and send nothing more; hang up after 60 s
    sub 4 reply    payload[0] is the style, then frames (u16 main, u16 sub,
                   u16 length, bytes): 0 all in one write, 1 one byte at a
                   time, 2 one write per frame, 3 the first frame with a damaged
                   check
    sub 5 flood    send the payload's frames (as for reply) over and over,
                   reading nothing, for 10 s or until the client goes; then
                   stall
"""

import argparse
import os
import socket
import struct
import threading
import time

from listener import listen_and_publish
from packets import BadFrame, FrameReader, encode

CONTROL = 0xF0F0
STALL_LIMIT_S = 60
FLOOD_LIMIT_S = 10
IDLE_LIMIT_S = 120


class Recorder:
    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()
        open(path, "w").close()

    def line(self, text):
        with self.lock, open(self.path, "a") as record:
            record.write(text + "\n")


def parse_frames(data):
    frames = []
    at = 0
    while at + 6 <= len(data):
        main, sub, length = struct.unpack_from("<HHH", data, at)
        at += 6
        frames.append((main, sub, data[at:at + length]))
        at += length
    return frames


def send_reply(conn, payload):
    style, rest = payload[0], payload[1:]
    wires = [encode(main, sub, data) for main, sub, data in parse_frames(rest)]
    if style == 3 and wires:
        damaged = bytearray(wires[0])
        damaged[-1] ^= 0x5A
        wires[0] = bytes(damaged)
    if style == 1:
        for byte in b"".join(wires):
            conn.sendall(bytes([byte]))
            time.sleep(0.001)
    elif style == 2:
        for wire in wires:
            conn.sendall(wire)
            time.sleep(0.02)
    else:
        conn.sendall(b"".join(wires))


def flood(conn, payload):
    wire = b"".join(encode(main, sub, data) for main, sub, data in parse_frames(payload))
    burst = wire * max(1, 65536 // len(wire))
    deadline = time.monotonic() + FLOOD_LIMIT_S
    while time.monotonic() < deadline:
        conn.sendall(burst)


def serve(conn, number, recorder):
    conn.settimeout(IDLE_LIMIT_S)
    reader = FrameReader()
    echo = False
    try:
        conn.sendall(encode(0, 1))
        while True:
            data = conn.recv(65536)
            if not data:
                break
            if echo:
                conn.sendall(data)
                continue
            try:
                packets = reader.feed(data)
            except BadFrame as error:
                recorder.line("bad %d %s" % (number, error))
                return
            for index, (main, sub, payload) in enumerate(packets):
                if main != CONTROL:
                    recorder.line("msg %d %d %d %s" % (number, main, sub, payload.hex()))
                elif sub == 1 and payload[:1] == b"\x02":
                    echo = True
                    # Whatever followed the switch goes back untouched.
                    later = b"".join(encode(*p) for p in packets[index + 1:]) + reader.take_rest()
                    if later:
                        conn.sendall(later)
                    break
                elif sub == 2:
                    return
                elif sub == 3:
                    time.sleep(STALL_LIMIT_S)
                    return
                elif sub == 4:
                    send_reply(conn, payload)
                elif sub == 5:
                    flood(conn, payload)
                    time.sleep(STALL_LIMIT_S)
                    return
    except OSError:
        pass
    finally:
        recorder.line("closed %d" % number)
        conn.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--record", required=True)
    parser.add_argument("--listen", type=int, default=0, help="port to listen on (0: a free one)")
    args = parser.parse_args()
    recorder = Recorder(args.record)
    listener = listen_and_publish(args.port_file, port=args.listen)
    number = 0
    while True:
        number += 1
        accept_one(listener, number, recorder)


def accept_one(listener, number, recorder):
    """Takes the next client and serves it on a thread of its own. Its "open"
    line is written here, before that thread starts: threads written to the
    record in the order they happen to run would let a later connection's
    "open" come first, and a reader of the newest connection would read the
    wrong one."""
    conn, _ = listener.accept()
    conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    recorder.line("open %d" % number)
    threading.Thread(target=serve, args=(conn, number, recorder), daemon=True).start()


if __name__ == "__main__":
    main()
