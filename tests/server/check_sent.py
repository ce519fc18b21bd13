#!/usr/bin/env python3
"""Checks what the loopback printer received of one service job.

Usage: check_sent.py JOB HEADER DOCUMENT HOST_LINE IP_LINE
JOB must be the PJL job opening (USTATUS JOB = ON and a JOB NAME), then
HEADER (the bytes `pagewire --show-header` printed, empty for none) but for
its DATE, TIME, HNAME and IP comments, which the service takes from the
clock and the request (HNAME=HOST_LINE, IP=IP_LINE), then DOCUMENT's bytes
unchanged, then the EOJ of the same name.
"""
import re
import sys

UEL = b"\x1b%-12345X"


def main():
    job, header, document = (open(p, "rb").read() for p in sys.argv[1:4])
    host, ip = sys.argv[4].encode(), sys.argv[5].encode()
    opening = re.match(UEL + rb'@PJL\r\n@PJL USTATUS JOB = ON\r\n@PJL JOB NAME = "([^"]+)"\r\n', job)
    if not opening:
        sys.exit("no PJL job opening: %r" % job[:120])
    name = opening.group(1)
    closing = UEL + b'@PJL\r\n@PJL EOJ NAME = "' + name + b'"\r\n' + UEL
    if not job.endswith(closing):
        sys.exit("no EOJ for %r at the end: %r" % (name, job[-120:]))
    body = job[opening.end():len(job) - len(closing)]
    if not body.endswith(document):
        sys.exit("the document's bytes are not sent unchanged")
    sent_header = body[:len(body) - len(document)]
    if header:
        want = re.sub(rb"(DATE|TIME)=[^\n]*", rb"\1=*", header)
        want = re.sub(rb"HNAME=[^\n]*", b"HNAME=" + host, want)
        want = re.sub(rb"IP=[0-9.]*", b"IP=" + ip, want)
        got = re.sub(rb"(DATE|TIME)=[^\n]*", rb"\1=*", sent_header)
        if got != want:
            sys.exit("header differs:\n--- sent\n%s\n--- expected\n%s" % (got.decode("latin-1"), want.decode("latin-1")))
    elif sent_header:
        sys.exit("a header came before a document that takes none: %r" % sent_header[:200])


if __name__ == "__main__":
    main()
