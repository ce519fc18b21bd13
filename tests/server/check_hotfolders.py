#!/usr/bin/env python3
"""Checks every file dropped into the hot folders against the loopback
printer's record: printed exactly once and in done/, or never printed and
in failed/ with its reason; none printed twice, none gone, none left.

Usage: check_hotfolders.py SINK EXPECTED
EXPECTED has one line per file: FOLDER<TAB>NAME<TAB>printed|failed[<TAB>REASON TEXT];
an IPP job beside the folders: -<TAB>NAME<TAB>sent, which must reach the printer once.
Prints each fault and exits 1 when there is one.
"""
import collections
import os
import re
import sys

NAME = re.compile(rb'@PJL JOB NAME = "([^"]*)"')


def main():
    sink, expected = sys.argv[1], sys.argv[2]
    printed = collections.Counter()
    for job in os.listdir(sink):
        if "job-" not in job:
            continue
        # The service keeps the connection open while it has more jobs: one
        # recorded connection may hold several.
        with open(os.path.join(sink, job), "rb") as f:
            names = NAME.findall(f.read())
        for name in names or [b"?" + job.encode()]:
            printed[name.decode()] += 1
    faults = []
    wanted = set()
    for line in open(expected, encoding="utf-8"):
        folder, name, outcome, *reason = line.rstrip("\n").split("\t")
        wanted.add(name)
        if outcome == "sent":
            if printed[name] != 1:
                faults.append(f"IPP job {name}: printed {printed[name]} times")
            continue
        work = os.path.join(folder, ".pagewire")
        in_done = os.path.exists(os.path.join(work, "done", name))
        in_failed = os.path.exists(os.path.join(work, "failed", name))
        times = printed[name]
        if outcome == "printed":
            if times != 1 or not in_done or in_failed:
                faults.append(f"{name}: printed {times} times, in done/ {in_done}, in failed/ {in_failed}")
        else:
            reason_file = os.path.join(work, "failed", name + ".reason")
            text = open(reason_file, encoding="utf-8").read() if os.path.exists(reason_file) else ""
            if times != 0 or not in_failed or in_done or not text.strip():
                faults.append(f"{name}: printed {times} times, in failed/ {in_failed}, reason {text.strip()!r}")
            elif reason and reason[0] not in text:
                faults.append(f"{name}: reason {text.strip()!r}, wanted {reason[0]!r}")
        for left in (os.path.join(folder, name), os.path.join(work, "processing", name)):
            if os.path.exists(left):
                faults.append(f"{name}: still at {left}")
    for name, times in printed.items():
        if name not in wanted:
            faults.append(f"the printer got {name!r} {times} times, which no test dropped")
    for fault in faults[:50]:
        print("FAULT:", fault)
    print(f"{len(wanted)} files, {sum(printed.values())} jobs at the printer, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
