#!/usr/bin/env python3
"""Prints the median wall time, in seconds, of running a group of commands.

usage: median_time.py REPEATS COMMAND_FILE

COMMAND_FILE holds one command per line (split on whitespace, no shell); one
repetition runs them all in turn. Exit codes are not checked: qpdf and the
queries use them for answers. Output is discarded.
"""
import statistics
import subprocess
import sys
import time


def run_group(commands):
    start = time.perf_counter()
    for command in commands:
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       check=False)
    return time.perf_counter() - start


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    repeats = int(argv[1])
    with open(argv[2]) as f:
        commands = [line.split() for line in f if line.strip()]
    run_group(commands)  # warm-up: caches and page tables
    print(f"{statistics.median(run_group(commands) for _ in range(repeats)):.4f}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
