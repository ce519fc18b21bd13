#!/usr/bin/env python3
"""A minimal IPP printer on loopback that drops what it is sent.

Usage: ipp_sink.py PORT_FILE COUNTS_FILE
Listens on a free port (written into PORT_FILE) and answers, on keep-alive
connections, Get-Printer-Attributes (PDF and TIFF taken, no settings, no
password) and Print-Job (the document read to its end and dropped, the job
completed at once); its byte count is appended as a line to COUNTS_FILE.
Both Content-Length and chunked bodies are read.
"""
import os
import socket
import struct
import sys
import threading

OPERATION_GROUP, JOB_GROUP, PRINTER_GROUP, END = 0x01, 0x02, 0x04, 0x03
INTEGER, ENUM, CHARSET, LANGUAGE, MIME = 0x21, 0x23, 0x47, 0x48, 0x49
PRINT_JOB, GET_PRINTER_ATTRIBUTES = 0x0002, 0x000B
counts_lock = threading.Lock()
job_ids = iter(range(1, 1 << 30))


def attribute(tag, name, value):
    name = name.encode()
    return struct.pack(">BH", tag, len(name)) + name + struct.pack(">H", len(value)) + value


def response(request_id, groups):
    body = struct.pack(">BBHI", 1, 1, 0, request_id)
    body += bytes([OPERATION_GROUP]) + attribute(CHARSET, "attributes-charset", b"utf-8")
    body += attribute(LANGUAGE, "attributes-natural-language", b"en")
    for group in groups:
        body += group
    return body + bytes([END])


class Body:
    """The request body, read in place from the connection's buffered reader."""

    def __init__(self, reader, headers):
        self.reader = reader
        self.chunked = headers.get("transfer-encoding", "").lower() == "chunked"
        self.left = 0 if self.chunked else int(headers.get("content-length", "0"))
        self.done = not self.chunked and self.left == 0

    def readinto(self, view):
        while not self.done and self.left == 0:
            size = int(self.reader.readline().split(b";")[0], 16)
            if size == 0:
                while self.reader.readline() not in (b"\r\n", b"\n", b""):
                    pass
                self.done = True
            self.left = size
        if self.done:
            return 0
        n = self.reader.readinto(view[: min(len(view), self.left)])
        if not n:
            raise ConnectionError("body cut short")
        self.left -= n
        if self.left == 0:
            if self.chunked:
                self.reader.readline()
            else:
                self.done = True
        return n

    def read(self, count):
        out = bytearray(count)
        got = 0
        while got < count:
            n = self.readinto(memoryview(out)[got:])
            if n == 0:
                raise ConnectionError("body cut short")
            got += n
        return bytes(out)


def read_attributes(body):
    """Skips the attribute groups up to the end tag."""
    while True:
        tag = body.read(1)[0]
        if tag == END:
            return
        if tag < 0x10:
            continue
        (name_length,) = struct.unpack(">H", body.read(2))
        body.read(name_length)
        (value_length,) = struct.unpack(">H", body.read(2))
        body.read(value_length)


def serve(conn, counts_file):
    try:
        serve_requests(conn, counts_file)
    except (ConnectionError, IndexError, struct.error, ValueError):
        pass  # a client that went away, or no IPP


def serve_requests(conn, counts_file):
    buffer = bytearray(1 << 20)
    with conn, conn.makefile("rb", buffering=1 << 20) as reader:
        while True:
            request_line = reader.readline()
            if not request_line:
                return
            headers = {}
            while True:
                line = reader.readline().decode("latin-1").strip()
                if not line:
                    break
                key, _, value = line.partition(":")
                headers[key.strip().lower()] = value.strip()
            if headers.get("expect", "").lower() == "100-continue":
                conn.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
            body = Body(reader, headers)
            _, _, operation, request_id = struct.unpack(">BBHI", body.read(8))
            read_attributes(body)
            count = 0
            while True:
                n = body.readinto(memoryview(buffer))
                if n == 0:
                    break
                count += n
            groups = []
            if operation == GET_PRINTER_ATTRIBUTES:
                formats = attribute(MIME, "document-format-supported", b"application/pdf")
                formats += attribute(MIME, "", b"image/tiff")
                groups.append(bytes([PRINTER_GROUP]) + formats)
            elif operation == PRINT_JOB:
                job = attribute(INTEGER, "job-id", struct.pack(">i", next(job_ids)))
                job += attribute(ENUM, "job-state", struct.pack(">i", 9))
                groups.append(bytes([JOB_GROUP]) + job)
                with counts_lock, open(counts_file, "a") as f:
                    f.write(f"{count}\n")
            payload = response(request_id, groups)
            conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\n"
                         b"Content-Length: %d\r\n\r\n" % len(payload) + payload)


def main():
    port_file, counts_file = sys.argv[1], sys.argv[2]
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.bind(("127.0.0.1", 0))
    server.listen(8)
    with open(port_file + ".part", "w") as f:
        f.write(f"{server.getsockname()[1]}\n")
    os.rename(port_file + ".part", port_file)
    while True:
        conn, _ = server.accept()
        threading.Thread(target=serve, args=(conn, counts_file), daemon=True).start()


if __name__ == "__main__":
    main()
