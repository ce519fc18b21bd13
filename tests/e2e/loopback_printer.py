#!/usr/bin/env python3
"""A raw-socket (port 9100 style) printer on loopback: saves the bytes of each
connection as one job file job-N.bin in a folder.

Usage: loopback_printer.py FOLDER PORT_FILE [PORT]
Listens on PORT or a free port, writes the port number into PORT_FILE, and
serves until killed; started again with the same PORT, it goes on numbering
the jobs after those already in FOLDER. A job file appears complete: it is written under a temporary name and
renamed when the connection closes.

A job that turns PJL's unsolicited job status on is answered as a printer
would: START after its JOB command, and after its EOJ command END, or
CANCELED when the job's name holds "cancel". A job whose name holds "reset"
has its connection reset right after its JOB command, as a printer that is
switched off mid-job.
"""
import os
import re
import socket
import struct
import sys

COMMAND = re.compile(rb'@PJL (JOB|EOJ) NAME = "([^"]*)"')


def job_status(match):
    command, name = match.groups()
    if command == b"JOB":
        lines = [b"START"]
    elif b"cancel" in name.lower():
        lines = [b"CANCELED", b"RESULT=USER_CANCELED"]
    else:
        lines = [b"END", b"PAGES=1", b"RESULT=OK"]
    lines[1:1] = [b'NAME="%s"' % name]
    return b"@PJL USTATUS JOB\r\n" + b"".join(line + b"\r\n" for line in lines) + b"\f"


def receive(conn, out):
    """Copies the connection into `out`, answering the job status commands."""
    pending, status_on = b"", False
    while True:
        try:
            data = conn.recv(65536)
        except ConnectionResetError:
            # A sender that closes with our replies unread resets the
            # connection: its job ended all the same.
            return
        if not data:
            return
        out.write(data)
        out.flush()  # a connection still open shows what it has sent
        pending += data
        status_on = status_on or b"@PJL USTATUS JOB = ON" in pending
        end = 0
        for match in COMMAND.finditer(pending):
            if match.group(1) == b"JOB" and b"reset" in match.group(2).lower():
                conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                return
            if status_on:
                conn.sendall(job_status(match))
            end = match.end()
        # What may hold the start of a command that is not complete yet.
        pending = pending[end:][-200:]


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    port = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    os.makedirs(folder, exist_ok=True)
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", port))
    server.listen(8)
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.getsockname()[1]))
    os.rename(port_file + ".tmp", port_file)
    count = len([n for n in os.listdir(folder) if re.fullmatch(r"job-\d+\.bin", n)])
    while True:
        conn, _ = server.accept()
        count += 1
        partial = os.path.join(folder, ".job-%d.part" % count)
        with conn, open(partial, "wb") as out:
            receive(conn, out)
        os.rename(partial, os.path.join(folder, "job-%d.bin" % count))


if __name__ == "__main__":
    main()
