"""The loopback listening socket every test peer opens, and the port file
through which the test run learns its port."""

import os
import socket


def listen_and_publish(port_file, backlog=32, port=0):
    """A socket listening on 127.0.0.1 on the given port, or on one the system
    picks (0); the port is written to port_file in one step, so a reader never
    sees half of it."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", port))
    listener.listen(backlog)
    with open(port_file + ".tmp", "w") as target:
        target.write("%d\n" % listener.getsockname()[1])
    os.replace(port_file + ".tmp", port_file)
    return listener
