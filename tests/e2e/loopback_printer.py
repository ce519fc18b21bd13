#!/usr/bin/env python3
"""A raw-socket (port 9100 style) printer on loopback: saves the bytes of each
connection as one job file job-N.bin in a folder.

Usage: loopback_printer.py FOLDER PORT_FILE
Listens on a free port, writes the port number into PORT_FILE, and serves until
killed. A job file appears complete: it is written under a temporary name and
renamed when the connection closes.
"""
import os
import socket
import sys


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(8)
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.getsockname()[1]))
    os.rename(port_file + ".tmp", port_file)
    count = 0
    while True:
        conn, _ = server.accept()
        count += 1
        partial = os.path.join(folder, ".job-%d.part" % count)
        with conn, open(partial, "wb") as out:
            while True:
                data = conn.recv(65536)
                if not data:
                    break
                out.write(data)
        os.rename(partial, os.path.join(folder, "job-%d.bin" % count))


if __name__ == "__main__":
    main()
