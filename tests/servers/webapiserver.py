#!/usr/bin/env python3
"""A web API server for tests and local runs on 127.0.0.1.

    webapiserver.py --port-file FILE --record FILE [--listen PORT] [--advert-picture FILE]

Serves:
    GET  /AdvertCenterApi/AdvertCenterApi/ReqAdvertList/?position=..&channel=..
         the advert list, answered in the mode named by the channel (or by a
         leading "/mode/<mode>" path prefix, which wins; any other channel
         gets "normal"):
           normal   one advert (picture and agreement page of this server)
           split    first element empty, second with two adverts
           empty    rescode 0 and no adverts
           error    rescode 5, adverts present
           notjson  a plain text reply
           retry    the first request of each address fails (500), later ones work
           down     every request fails (500)
           hostile  an advert whose picture name and jump address are hostile
    GET  /pics/<name>      picture bytes ("picture:" + name); /pics/huge.png is
                           9 MiB; /pics/advert.png is the --advert-picture
                           file when one is given; also under a "/mode/<mode>"
                           prefix
    GET  /agreement.html   the user-agreement page
    POST or GET /RevEzudIzovuv/MaiDian/SendMaiDian   the tracking request ("ok")
Every request is appended to the record file, one line each:
    <method> <target> <body in hex, "-" when empty>
"""

import argparse
import http.server
import json
import os
import threading
import urllib.parse

ADVERT_PATH = "/AdvertCenterApi/AdvertCenterApi/ReqAdvertList/"
TRACKING_PATH = "/RevEzudIzovuv/MaiDian/SendMaiDian"
HUGE_PICTURE_SIZE = 9 * 1024 * 1024
MODES = ("normal", "split", "empty", "error", "notjson", "retry", "down", "hostile")


class State:
    def __init__(self, record):
        self.record = record
        self.lock = threading.Lock()
        self.seen = set()
        open(record, "w").close()

    def log(self, method, target, body):
        with self.lock, open(self.record, "a") as out:
            out.write("%s %s %s\n" % (method, target, body.hex() if body else "-"))

    def first_time(self, target):
        with self.lock:
            if target in self.seen:
                return False
            self.seen.add(target)
            return True


def advert(base, picture, jump):
    return {"advertPicUrl": base + picture, "jumpUrl": jump}


def advert_list(mode, base):
    normal = advert(base, "/pics/advert.png", base + "/agreement.html")
    if mode == "split":
        elements = [{"advertList": []},
                    {"advertList": [advert(base, "/pics/second.png", base + "/second.html"),
                                    advert(base, "/pics/third.png", base + "/third.html")]}]
    elif mode == "empty":
        elements = []
    elif mode == "hostile":
        elements = [{"advertList": [advert(base, "/pics/..%5C..%5Cevil.png?name=CON#top",
                                           "file:///C:/windows/system32/calc.exe\r\nError: forged")]}]
    else:
        elements = [{"advertList": [normal]}]
    return {"rescode": 5 if mode == "error" else 0, "resmsg": "广告", "advertElements": elements}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "WebApiTest/1"

    def log_message(self, *args):
        pass

    def answer(self, status, body, kind="application/octet-stream"):
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def handle_request(self, method):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        state = self.server.state
        state.log(method, self.path, body)
        parts = urllib.parse.urlsplit(self.path)
        path = urllib.parse.unquote(parts.path)
        query = urllib.parse.parse_qs(parts.query)
        mode = None
        if path.startswith("/mode/"):
            mode, _, rest = path[len("/mode/"):].partition("/")
            path = "/" + rest
        if path == ADVERT_PATH:
            channel = query.get("channel", [""])[0]
            mode = mode or (channel if channel in MODES else "normal")
            self.answer_adverts(mode)
        elif path == "/pics/advert.png" and self.server.advert_picture is not None:
            self.answer(200, self.server.advert_picture, "image/png")
        elif path.startswith("/pics/"):
            size = HUGE_PICTURE_SIZE if path == "/pics/huge.png" else 0
            self.answer(200, b"p" * size if size else b"picture:" + path[len("/pics/"):].encode("utf-8"), "image/png")
        elif path == "/agreement.html":
            self.answer(200, "<html><body>用户协议</body></html>".encode("utf-8"), "text/html; charset=utf-8")
        elif path == TRACKING_PATH:
            self.answer(200, b"ok", "text/plain")
        else:
            self.answer(404, b"not found", "text/plain")

    def answer_adverts(self, mode):
        state = self.server.state
        if mode == "down" or (mode == "retry" and state.first_time(self.path)):
            self.answer(500, b"busy", "text/plain")
        elif mode == "notjson":
            self.answer(200, b"service unavailable", "text/plain")
        else:
            base = "http://127.0.0.1:%d" % self.server.server_address[1]
            text = json.dumps(advert_list(mode, base), ensure_ascii=False)
            self.answer(200, text.encode("utf-8"), "application/json; charset=utf-8")

    def do_GET(self):
        self.handle_request("GET")

    def do_POST(self):
        self.handle_request("POST")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--record", required=True)
    parser.add_argument("--listen", type=int, default=0, help="port to listen on (0: a free one)")
    parser.add_argument("--advert-picture", help="a real picture to serve as /pics/advert.png")
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.listen), Handler)
    server.daemon_threads = True
    server.state = State(args.record)
    server.advert_picture = None
    if args.advert_picture:
        with open(args.advert_picture, "rb") as picture:
            server.advert_picture = picture.read()
    with open(args.port_file + ".tmp", "w") as port_file:
        port_file.write("%d\n" % server.server_address[1])
    os.replace(args.port_file + ".tmp", args.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
