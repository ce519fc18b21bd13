#!/usr/bin/env python3
"""A slow network link on loopback that tells how each connection ended.

Usage: slow_link.py FOLDER PORT_FILE RATE [UPSTREAM_PORT]
Listens on a free port (written into PORT_FILE) and reads each connection at
about RATE bytes a second. Alone it is a printer's raw port: connection N's
bytes go to FOLDER/job-N.bin. With UPSTREAM_PORT it forwards what it reads
to 127.0.0.1:UPSTREAM_PORT, and the answers back at full speed, passing a
clean close on as a clean close and a reset as a reset. Either way
FOLDER/job-N.end then says "fin" or "reset", and the count of bytes read.
"""
import os
import select
import socket
import struct
import sys
import threading
import time

CHUNK = 16384


def reset(sock):
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    sock.close()


def serve(conn, number, folder, rate, upstream_port):
    upstream = socket.create_connection(("127.0.0.1", upstream_port)) if upstream_port else None
    ending, count = "fin", 0
    with open(os.path.join(folder, "job-%d.bin" % number), "wb") as out:
        while True:
            ready, _, _ = select.select([conn] + ([upstream] if upstream else []), [], [])
            if upstream in ready:
                answer = upstream.recv(65536)
                if answer:
                    conn.sendall(answer)
                else:
                    conn.shutdown(socket.SHUT_WR)
                    upstream.close()
                    upstream = None
            if conn not in ready:
                continue
            try:
                data = conn.recv(CHUNK)
            except ConnectionResetError:
                ending = "reset"
                break
            if not data:
                break
            count += len(data)
            out.write(data)
            if upstream:
                upstream.sendall(data)
            time.sleep(len(data) / rate)
    if upstream and ending == "reset":
        reset(upstream)
    elif upstream:
        upstream.shutdown(socket.SHUT_WR)
        while answer := upstream.recv(65536):
            conn.sendall(answer)
    with open(os.path.join(folder, "job-%d.end" % number), "w") as end:
        end.write("%s %d\n" % (ending, count))


def main():
    folder, port_file, rate = sys.argv[1], sys.argv[2], float(sys.argv[3])
    upstream_port = int(sys.argv[4]) if len(sys.argv) > 4 else 0
    os.makedirs(folder, exist_ok=True)
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    # A small window, so that the sender soon waits for the reader.
    server.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 32768)
    server.bind(("127.0.0.1", 0))
    server.listen(8)
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.getsockname()[1]))
    os.rename(port_file + ".tmp", port_file)
    number = 0
    while True:
        conn, _ = server.accept()
        number += 1
        threading.Thread(target=serve, args=(conn, number, folder, rate, upstream_port),
                         daemon=True).start()


if __name__ == "__main__":
    main()
