#!/usr/bin/env python3
"""Compares the PDF queries' answers on every fixture with what qpdf says.

usage: fixture_qpdf_compare.py PDF_QUERY QPDF FIXTURE_DIR

qpdf's view of a file:
  qpdf --requires-password F          exit 0: needs a password, 2: not
                                      encrypted, 3: encrypted, no password needed
  qpdf --requires-password --password=X F
                                      exit 3: X opens the file, 0: it does not
  qpdf --show-encryption --password=OWNER F
                                      "print low resolution: not allowed" is
                                      bit 3 (value 4) of P clear; the "print
                                      high resolution" line is bit 12 and is
                                      not what IsPrintDisable reports
"""
import csv
import subprocess
import sys

WRONG_PASSWORD = "wrong"

# Hostile files that qpdf reads only by warning and repairing; the queries
# repair nothing and must refuse them.
DAMAGED = {
    "xref_stream_zip_bomb.pdf": "cross-reference stream inflating far beyond its entries",
    "xref_prev_loop.pdf": "Prev chain that comes back to a section",
}

EXIT_NEEDS_PASSWORD = 0
EXIT_NOT_ENCRYPTED = 2
EXIT_OPENS = 3


def run(args):
    return subprocess.run(args, capture_output=True, text=True, check=False)


def qpdf_requires(qpdf, path, password=None):
    args = [qpdf, "--requires-password"]
    if password is not None:
        args.append("--password=" + password)
    code = run(args + [path]).returncode
    if code not in (EXIT_NEEDS_PASSWORD, EXIT_NOT_ENCRYPTED, EXIT_OPENS):
        raise RuntimeError(f"qpdf --requires-password {path}: exit {code}")
    return code


def qpdf_print_disabled(qpdf, path, owner):
    out = run([qpdf, "--show-encryption", "--password=" + owner, path]).stdout
    if "File is not encrypted" in out:
        return 0
    for line in out.splitlines():
        if line.startswith("print low resolution:"):
            return 0 if line.endswith(": allowed") else 1
    raise RuntimeError(f"qpdf --show-encryption {path}: no print line in {out!r}")


def qpdf_check(qpdf, path, password):
    code = qpdf_requires(qpdf, path, password)
    return 0 if code == EXIT_NEEDS_PASSWORD else 1


def qpdf_answers(qpdf, path, row):
    needs = qpdf_requires(qpdf, path)
    return {
        "IsPDFPasswd": 1 if needs == EXIT_NEEDS_PASSWORD else 0,
        "IsPrintDisable": qpdf_print_disabled(qpdf, path, row["owner"]),
        "CheckPDFPasswd(user)": qpdf_check(qpdf, path, row["user"]),
        "CheckPDFPasswd(owner)": qpdf_check(qpdf, path, row["owner"]),
        "CheckPDFPasswd(wrong)": qpdf_check(qpdf, path, WRONG_PASSWORD),
    }


def query(pdf_query, path, password):
    out = run([pdf_query, path, password]).stdout
    answers = {}
    for line in out.splitlines():
        name, _, value = line.partition(" ")
        answers[name] = int(value)
    return answers


def pagewire_answers(pdf_query, path, row):
    by_user = query(pdf_query, path, row["user"])
    return {
        "IsPDFPasswd": by_user["IsPDFPasswd"],
        "IsPrintDisable": by_user["IsPrintDisable"],
        "CheckPDFPasswd(user)": by_user["CheckPDFPasswd"],
        "CheckPDFPasswd(owner)": query(pdf_query, path, row["owner"])["CheckPDFPasswd"],
        "CheckPDFPasswd(wrong)": query(pdf_query, path, WRONG_PASSWORD)["CheckPDFPasswd"],
    }


def qpdf_warns(qpdf, path):
    return "WARNING" in run([qpdf, "--requires-password", path]).stderr


def compare(pdf_query, qpdf, fixture_dir, row):
    path = f"{fixture_dir}/{row['file']}"
    ours = pagewire_answers(pdf_query, path, row)
    if row["file"] in DAMAGED:
        bad = {k: v for k, v in ours.items() if v != -1}
        if not qpdf_warns(qpdf, path):
            return False, "FAIL, qpdf reads it without a warning"
        status = (f"ok, refused ({DAMAGED[row['file']]}); qpdf warns" if not bad
                  else f"FAIL, expected -1: {bad}")
        return not bad, status
    theirs = qpdf_answers(qpdf, path, row)
    diffs = {k: (ours[k], theirs[k]) for k in ours if ours[k] != theirs[k]}
    if diffs:
        return False, "FAIL (pagewire, qpdf): " + str(diffs)
    return True, "ok " + " ".join(f"{k}={v}" for k, v in ours.items())


def load_rows(fixture_dir):
    with open(f"{fixture_dir}/expected.tsv", newline="") as f:
        lines = [line for line in f if not line.startswith("#")]
    return list(csv.DictReader(lines, delimiter="\t"))


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    pdf_query, qpdf, fixture_dir = argv[1:]
    rows = load_rows(fixture_dir)
    if not rows:
        print("no fixtures listed in expected.tsv", file=sys.stderr)
        return 1
    failures = 0
    for row in rows:
        passed, status = compare(pdf_query, qpdf, fixture_dir, row)
        failures += not passed
        print(f"{row['file']:28} {status}")
    print(f"{len(rows) - failures}/{len(rows)} fixtures agree with qpdf")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
