#!/usr/bin/env python3
"""Runs a command (a test or benchmark under Wine) beside the local test peers.

    run_with_peers.py --work DIR [--stat] [--http-script FILE] [--webapi] [--timeout S] -- COMMAND...

Starts the requested servers on free 127.0.0.1 ports, makes two more ports
(one where nothing listens, one whose connects never complete), tells the
command about them through the environment, runs it, then stops every
server it started by pid. Paths are given in Wine's form (Z:\\...).

    RV_STAT_PORT, RV_STAT_RECORD          statistics server and its record
    RV_HTTP_PORT, RV_HTTP_RECORD_DIR      HTTP server and its request records
    RV_WEBAPI_PORT, RV_WEBAPI_RECORD      web API server and its request record
    RV_REFUSED_PORT                       nothing listens there
    RV_BLACKHOLE_PORT                     connects there never complete
"""

import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
START_LIMIT_S = 15
STOP_LIMIT_S = 5


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def start_server(script, port_file, extra):
    process = subprocess.Popen([sys.executable, os.path.join(HERE, script), "--port-file", port_file] + extra,
                               stdin=subprocess.DEVNULL)
    deadline = time.monotonic() + START_LIMIT_S
    while time.monotonic() < deadline:
        if os.path.exists(port_file):
            with open(port_file) as source:
                return process, int(source.read())
        if process.poll() is not None:
            break
        time.sleep(0.05)
    stop(process)
    raise RuntimeError("%s did not start" % script)


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(STOP_LIMIT_S)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(STOP_LIMIT_S)


def refused_port():
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


def black_hole():
    """A listener whose queue is full, so that later connects hang unanswered."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(0)
    port = listener.getsockname()[1]
    fillers = []
    for _ in range(3):
        filler = socket.socket()
        filler.setblocking(False)
        try:
            filler.connect(("127.0.0.1", port))
        except BlockingIOError:
            pass
        fillers.append(filler)
    time.sleep(0.1)
    return port, [listener] + fillers


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--work", required=True)
    parser.add_argument("--stat", action="store_true")
    parser.add_argument("--http-script")
    parser.add_argument("--webapi", action="store_true")
    parser.add_argument("--timeout", type=float, default=280)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    env = dict(os.environ)
    servers = []
    holders = []
    try:
        if args.stat:
            record = os.path.join(args.work, "stat-record.txt")
            process, port = start_server("statserver.py", os.path.join(args.work, "stat.port"), ["--record", record])
            servers.append(process)
            env["RV_STAT_PORT"] = str(port)
            env["RV_STAT_RECORD"] = wine_path(record)
        if args.http_script:
            records = os.path.join(args.work, "http-requests")
            process, port = start_server("httpserver.py", os.path.join(args.work, "http.port"),
                                         ["--script", args.http_script, "--record-dir", records])
            servers.append(process)
            env["RV_HTTP_PORT"] = str(port)
            env["RV_HTTP_RECORD_DIR"] = wine_path(records)
        if args.webapi:
            record = os.path.join(args.work, "webapi-record.txt")
            process, port = start_server("webapiserver.py", os.path.join(args.work, "webapi.port"), ["--record", record])
            servers.append(process)
            env["RV_WEBAPI_PORT"] = str(port)
            env["RV_WEBAPI_RECORD"] = wine_path(record)
        env["RV_REFUSED_PORT"] = str(refused_port())
        port, holders = black_hole()
        env["RV_BLACKHOLE_PORT"] = str(port)

        child = subprocess.Popen(command, env=env, start_new_session=True)
        try:
            return child.wait(args.timeout)
        except subprocess.TimeoutExpired:
            print("run_with_peers: time-out after %g s" % args.timeout, file=sys.stderr)
            os.killpg(child.pid, signal.SIGKILL)
            child.wait(STOP_LIMIT_S)
            return 124
    finally:
        for process in servers:
            stop(process)
        for holder in holders:
            holder.close()


if __name__ == "__main__":
    sys.exit(main())
