#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

The layers, lowest first; a file may include headers of its own layer and of
any layer on a lower row, never of a layer above it nor of another layer on
its own row. An adapter implements the ports: it may include the ports, what
they stand on and the transport, nothing above them. The README's layout table draws the
same rows.

Usage: check_layers.py [REPO]   (the repository's root; default: the
parent of this script's folder)
"""
import os
import re
import sys

# (row, layer, folders from the repository's root, highest row it may include)
LAYERS = [
    (1, "settings", ["src/settings"], None),
    (1, "crypto", ["src/crypto"], None),
    (2, "pdf", ["src/pdf"], None),
    (2, "platform", ["src/platform"], None),
    (3, "transport", ["src/transport"], None),
    (4, "job", ["src/job"], None),
    (5, "dialogs", ["src/dialogs"], None),
    (6, "app", ["src/app"], None),
    (6, "exports", ["src/exports", "include/pagewire"], None),
    (7, "platform/win32", ["src/platform/win32"], 3),
    (7, "platform/linux", ["src/platform/linux"], 3),
    (7, "resources", ["src/resources"], None),
    (7, "hotfolder", ["src/hotfolder"], None),
    (8, "dialogs/win32", ["src/dialogs/win32"], None),
    (9, "app/win32", ["src/app/win32"], None),
    (9, "cli", ["src/cli"], None),
    (9, "server", ["src/server"], None),
]

# The Windows API's headers: only these layers include them.
WIN32_HEADERS = {"windows.h", "commctrl.h", "commdlg.h", "shellapi.h", "winspool.h",
                 "winsock2.h", "ws2tcpip.h", "shlobj.h", "winreg.h"}
WIN32_LAYERS = {"platform/win32", "dialogs/win32", "app/win32"}

# Where a quoted include is looked for after the including file's folder.
INCLUDE_DIRS = ["src", "include", "src/resources"]

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer_of(path):
    """The layer whose folder is the longest prefix of `path`, or None."""
    best = None
    for row, name, folders, reach in LAYERS:
        for folder in folders:
            if path.startswith(folder + "/") and (best is None or len(folder) > best[0]):
                best = (len(folder), (row, name, reach))
    return best[1] if best else None


def resolve(repo, including, header):
    candidates = [os.path.join(os.path.dirname(including), header)]
    candidates += [os.path.join(d, header) for d in INCLUDE_DIRS]
    for candidate in candidates:
        candidate = os.path.normpath(candidate)
        if os.path.isfile(os.path.join(repo, candidate)):
            return candidate
    return None  # a generated or system header


def problems_of(repo, path):
    source = layer_of(path)
    if source is None:
        return
    row, name, reach = source
    highest = reach if reach is not None else row
    with open(os.path.join(repo, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            bracket, header = match.groups()
            closing = ">" if bracket == "<" else '"'
            where = f"{path}:{number}: includes {bracket}{header}{closing}"
            if bracket == "<":
                if header.lower() in WIN32_HEADERS and name not in WIN32_LAYERS:
                    yield (f"{where}: layer {name} may not use the Windows API "
                           f"(only {', '.join(sorted(WIN32_LAYERS))} do)")
                continue
            target = resolve(repo, path, header)
            target_layer = layer_of(target) if target else None
            if target_layer is None:
                continue
            target_row, target_name, _ = target_layer
            if target_name == name:
                continue
            if reach is not None and target_row > reach:
                yield (f"{where}: layer {name} implements the ports and may include layers up to "
                       f"row {reach} only; {target_name} is on row {target_row}")
            elif target_row > highest:
                yield (f"{where}: layer {name} (row {row}) may not include layer {target_name} "
                       f"(row {target_row}), which is above it")
            elif target_row == row:
                yield (f"{where}: layer {name} may not include layer {target_name} beside it "
                       f"(both on row {row})")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    repo = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(here)
    problems = []
    for top in ("src", "include"):
        for folder, dirs, files in os.walk(os.path.join(repo, top)):
            dirs.sort()
            for file in sorted(files):
                if file.endswith((".h", ".hpp", ".cpp", ".c")):
                    path = os.path.relpath(os.path.join(folder, file), repo).replace(os.sep, "/")
                    problems.extend(problems_of(repo, path))
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) point up or sideways; see the layers in {__file__}")
        return 1
    print("every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
