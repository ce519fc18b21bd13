#!/usr/bin/env python3
"""Checks the encrypted password in a job the loopback printer saved.

Usage: check_password.py JOB LIBPAGEWIRE KEY_MODE KEY_HEX PASSWORD PDF
The header must carry @EPKY=KEY_MODE and an @EPWD whose 64 digits
DecryptPassword (from LIBPAGEWIRE) turns, under the 6 key bytes KEY_HEX, back
into PASSWORD padded with zeros; and qpdf must accept PASSWORD for PDF.
"""
import ctypes
import re
import subprocess
import sys


def main():
    job_path, library, key_mode, key_hex, password, pdf = sys.argv[1:7]
    header = open(job_path, "rb").read().split(b"%PDF", 1)[0]
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
    check = subprocess.run(["qpdf", "--password=" + password, "--check", pdf],
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if check.returncode not in (0, 3):  # 3: warnings only
        sys.exit("qpdf refuses the password: %s" % check.stderr.decode(errors="replace"))


if __name__ == "__main__":
    main()
