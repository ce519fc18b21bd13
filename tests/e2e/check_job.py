#!/usr/bin/env python3
"""Checks one job the loopback printer saved against what was sent.

Usage: check_job.py JOB FILE [EXPECTED_HEADER]
Without EXPECTED_HEADER the job must be FILE's bytes exactly. With it, the job
must be a header followed by FILE's bytes, and the header must equal the
expected one byte for byte except for the values that change from run to run
or machine to machine (date, time, host name and address), which must still
have their format, and the encrypted password (see check_password.py).
"""
import re
import sys

VARYING = [
    (rb"@PJL COMMENT DATE=\d\d/\d\d/\d{4}\n", b"@PJL COMMENT DATE=<date>\n"),
    (rb"@PJL COMMENT TIME=\d\d:\d\d:\d\d\n", b"@PJL COMMENT TIME=<time>\n"),
    (rb"@PJL COMMENT HNAME=[^\n]*\n", b"@PJL COMMENT HNAME=<host>\n"),
    (rb"@PJL COMMENT IP=\d{3}\.\d{3}\.\d{3}\.\d{3}\n", b"@PJL COMMENT IP=<address>\n"),
]


# The encrypted password is checked by check_password.py.
PASSWORD = (rb'@PJL SET JOBATTR="@EPWD=[0-9a-f]{64}"\n', b'@PJL SET JOBATTR="@EPWD=<password>"\n')


def masked(header):
    header = re.sub(PASSWORD[0], PASSWORD[1], header)
    for pattern, replacement in VARYING:
        header, count = re.subn(pattern, replacement, header)
        if count != 1:
            sys.exit("header lacks one well-formed %r line" % replacement)
    return header


def main():
    job = open(sys.argv[1], "rb").read()
    sent = open(sys.argv[2], "rb").read()
    if len(sys.argv) < 4:
        if job != sent:
            sys.exit("job (%d bytes) is not the file (%d bytes)" % (len(job), len(sent)))
        return
    if not job.endswith(sent):
        sys.exit("job does not end with the file's %d bytes" % len(sent))
    header = masked(job[: len(job) - len(sent)])
    expected = open(sys.argv[3], "rb").read()
    if header != expected:
        sys.stderr.write("header differs:\n--- expected\n%s\n--- got\n%s\n"
                         % (expected.decode("latin-1"), header.decode("latin-1")))
        sys.exit(1)


if __name__ == "__main__":
    main()
