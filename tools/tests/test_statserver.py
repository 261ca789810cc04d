"""The stand-in statistics server's record: connections appear in it in the
order they were accepted, whatever order their threads run in."""

import os
import socket
import sys
import tempfile
import unittest
from unittest import mock

_SERVERS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "servers")
sys.path.insert(0, _SERVERS)
import statserver  # noqa: E402
from listener import listen_and_publish  # noqa: E402
from packets import encode  # noqa: E402


class HeldThread:
    """A thread that is only noted when started, so the test decides when,
    and in which order, each connection is served."""

    started = []

    def __init__(self, target, args, daemon):
        self.target, self.args = target, args

    def start(self):
        self.started.append(self)


class StatisticsServerRecord(unittest.TestCase):
    def test_a_later_connection_served_first_is_still_recorded_as_the_newer(self):
        with tempfile.TemporaryDirectory() as folder:
            record = os.path.join(folder, "record")
            recorder = statserver.Recorder(record)
            listener = listen_and_publish(os.path.join(folder, "port"))
            port = listener.getsockname()[1]
            clients = [socket.create_connection(("127.0.0.1", port), timeout=10) for _ in range(2)]
            HeldThread.started = []
            try:
                listener.settimeout(10)
                with mock.patch.object(statserver.threading, "Thread", HeldThread):
                    statserver.accept_one(listener, 1, recorder)
                    statserver.accept_one(listener, 2, recorder)

                def lines():
                    with open(record) as text:
                        return text.read().splitlines()

                self.assertEqual(lines(), ["open 1", "open 2"])
                # The second connection is served before the first.
                clients[1].sendall(encode(108, 20, b"x"))
                for client, held in ((clients[1], HeldThread.started[1]), (clients[0], HeldThread.started[0])):
                    client.shutdown(socket.SHUT_WR)
                    held.target(*held.args)
                self.assertEqual(lines(), ["open 1", "open 2", "msg 2 108 20 78", "closed 2", "closed 1"])
            finally:
                for client in clients:
                    client.close()
                listener.close()


if __name__ == "__main__":
    unittest.main()
