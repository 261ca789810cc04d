#!/usr/bin/env python3
"""A scripted HTTP/1.1 server for tests on 127.0.0.1.

The script (JSON) maps a request path (without its query) to an answer:
    status    number (200)          reason   text ("OK")
    headers   list of header lines, written as given (letter case kept)
    body      text, or body_size: that many pattern bytes (i % 251)
    chunks    list of texts sent with chunked framing after the headers
    delay     seconds to wait before answering
    trickle   seconds to wait before each byte of the answer
    close     true: hang up after the answer
    header_pad  bytes of filler header lines (for oversized headers)
    raw       list of texts sent as the whole answer, as they stand, with
              raw_pause seconds between them
Unknown paths get 404. Every request's raw bytes (header and body) are
written to <record dir>/<path with every non-alphanumeric byte as _>.req,
replacing the previous one for that path.
"""

import argparse
import json
import os
import re
import threading
import time

from listener import listen_and_publish

IDLE_LIMIT_S = 60
MAX_REQUEST_HEADER = 65536
_pattern_cache = {}


def pattern_bytes(size):
    if size not in _pattern_cache:
        unit = bytes(i % 251 for i in range(251))
        _pattern_cache[size] = (unit * (size // 251 + 1))[:size]
    return _pattern_cache[size]


def record_name(path):
    return re.sub(r"[^A-Za-z0-9]", "_", path) + ".req"


def read_request(conn, pending):
    """(raw request, what followed it), or (None, b"") when the client left."""
    while b"\r\n\r\n" not in pending:
        if len(pending) > MAX_REQUEST_HEADER:
            return None, b""
        data = conn.recv(65536)
        if not data:
            return None, b""
        pending += data
    end = pending.index(b"\r\n\r\n") + 4
    header = pending[:end]
    match = re.search(rb"\r\nContent-Length:\s*(\d+)", header, re.IGNORECASE)
    length = int(match.group(1)) if match else 0
    while len(pending) < end + length:
        data = conn.recv(65536)
        if not data:
            return None, b""
        pending += data
    return pending[:end + length], pending[end + length:]


def build_answer(entry):
    status = entry.get("status", 200)
    lines = ["HTTP/1.1 %d %s" % (status, entry.get("reason", "OK"))]
    lines += entry.get("headers", [])
    pad = entry.get("header_pad", 0)
    while pad > 0:
        line = "X-Pad: " + "p" * min(pad, 900)
        lines.append(line)
        pad -= len(line) + 2
    head = ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1")
    if "chunks" in entry:
        body = b"".join(b"%x\r\n%s\r\n" % (len(c.encode()), c.encode()) for c in entry["chunks"]) + b"0\r\n\r\n"
    elif "body_size" in entry:
        body = pattern_bytes(entry["body_size"])
    else:
        body = entry.get("body", "").encode("utf-8")
    return head, body


def serve(conn, script, record_dir):
    conn.settimeout(IDLE_LIMIT_S)
    pending = b""
    try:
        while True:
            request, pending = read_request(conn, pending)
            if request is None:
                return
            target = request.split(b" ", 2)[1].decode("latin-1") if request.count(b" ") >= 2 else "/"
            path = target.split("?", 1)[0]
            with open(os.path.join(record_dir, record_name(path)), "wb") as record:
                record.write(request)
            entry = script.get(path, {"status": 404, "reason": "Not Found", "headers": ["Content-Length: 0"]})
            time.sleep(entry.get("delay", 0))
            head, body = build_answer(entry)
            if "raw" in entry:
                for index, part in enumerate(entry["raw"]):
                    if index > 0:
                        time.sleep(entry.get("raw_pause", 0))
                    conn.sendall(part.encode("latin-1"))
            elif entry.get("trickle"):
                for byte in head + body:
                    conn.sendall(bytes([byte]))
                    time.sleep(entry["trickle"])
            else:
                conn.sendall(head)
                view = memoryview(body)
                for at in range(0, len(body), 1 << 20):
                    conn.sendall(view[at:at + (1 << 20)])
            if entry.get("close"):
                return
    except OSError:
        pass
    finally:
        conn.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--script", required=True)
    parser.add_argument("--record-dir", required=True)
    args = parser.parse_args()
    with open(args.script, encoding="utf-8") as source:
        script = json.load(source)
    os.makedirs(args.record_dir, exist_ok=True)
    listener = listen_and_publish(args.port_file)
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=serve, args=(conn, script, args.record_dir), daemon=True).start()


if __name__ == "__main__":
    main()
