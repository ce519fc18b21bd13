#!/usr/bin/env bash
# The main job, end to end: builds pagewire.exe, starts a loopback printer,
# a private CUPS server, Xvfb and Wine, prints a sample PDF in direct mode
# (ShowDragDlg set, so no dialog is needed), and shows what the printer
# received: the PJL header as text and the total size. Cleans up after.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${PAGEWIRE_WIN_BUILD_DIR:-build-win}
SAMPLE=${1:-tests/pdf/fixtures/plain.pdf}

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target pagewire pwdrive -j "${JOBS:-2}"
app=$(cd "$BUILD/src/app" && pwd)/pagewire.exe

# shellcheck source=../tests/e2e/rig.sh
. tests/e2e/rig.sh
rig_start
add_raw_queue Demo
lpadmin -h "$CUPS_SERVER" -d Demo
export LPDEST=Demo
echo "rig ready: CUPS $CUPS_SERVER, loopback printer on port $RIG_PRINTER_PORT, display $DISPLAY"

sample=$RIG_DIR/$(basename "$SAMPLE")
cp "$SAMPLE" "$sample"
timeout 60 "$PAGEWIRE_WINE" reg add 'HKLM\SOFTWARE\WOW6432Node\Orvelle\Pagewire\ShowDragDlg' /f >/dev/null
echo "printing $(basename "$sample") on Demo (direct mode)"
wine_run "$app" "Z:${sample//\//\\}"
wait_job 1

job=$RIG_JOBS/job-1.bin
echo "== what the printer received: header up to %PDF"
python3 - "$job" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
end = data.find(b"%PDF")
print(data[: end if end >= 0 else len(data)].decode("latin-1").replace("\x1b", "<ESC>"), end="")
PY
echo "== total size: $(stat -c %s "$job") bytes (file: $(stat -c %s "$sample") bytes)"
