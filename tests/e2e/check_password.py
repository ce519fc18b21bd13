#!/usr/bin/env python3
"""Checks the encrypted password in a job the loopback printer saved.

Usage: check_password.py JOB LIBPAGEWIRE KEY_MODE KEY_HEX PASSWORD
The header must carry @EPKY=KEY_MODE and an @EPWD whose 64 digits
DecryptPassword (from LIBPAGEWIRE) turns, under the 6 key bytes KEY_HEX, back
into PASSWORD (its UTF-8 bytes) padded with zeros; and qpdf must open the PDF
the job carries, cut out of the received bytes, with PASSWORD.
"""
import ctypes
import os
import re
import subprocess
import sys
import tempfile


def main():
    job_path, library, key_mode, key_hex, password = sys.argv[1:6]
    job = open(job_path, "rb").read()
    start = job.find(b"%PDF")
    if start < 0:
        sys.exit("job carries no PDF")
    header, pdf = job[:start], job[start:]
    modes = re.findall(rb'@PJL SET JOBATTR="@EPKY=(\w+)"\n', header)
    digits = re.findall(rb'@PJL SET JOBATTR="@EPWD=([0-9a-f]{64})"\n', header)
    if modes != [key_mode.encode()] or len(digits) != 1:
        sys.exit("header has EPKY %r and %d EPWD lines" % (modes, len(digits)))
    key = bytes.fromhex(key_hex)
    cipher = bytes.fromhex(digits[0].decode()) + bytes(8)  # five blocks are read
    out = ctypes.create_string_buffer(40)
    ctypes.CDLL(library).DecryptPassword(out, cipher, key, len(key))
    expected = password.encode().ljust(32, b"\0")
    if out.raw[:32] != expected:
        sys.exit("EPWD decrypts to %r, not %r" % (out.raw[:32], expected))
    with tempfile.NamedTemporaryFile(suffix=".pdf", delete=False) as received:
        received.write(pdf)
    try:
        check = subprocess.run(["qpdf", "--password=" + password, "--check", received.name],
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    finally:
        os.unlink(received.name)
    if check.returncode not in (0, 3):  # 3: warnings only
        sys.exit("qpdf does not open the received PDF with the password: %s"
                 % check.stderr.decode(errors="replace"))


if __name__ == "__main__":
    main()
