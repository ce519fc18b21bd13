#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, a fuzz smoke run,
# then the Windows build's tests and the end-to-end scenarios under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$JOBS"
ctest --test-dir build --output-on-failure -j "$JOBS"

echo "== the Debian package of the pagewire command"
(cd build && cpack -G DEB >/dev/null)
dpkg-deb -c build/pagewire_*.deb | awk '{print $6}' | grep -E 'bin/pagewire$|libpagewire.so$|pagewire.h$|pagewire.1'

echo "== exported symbols of libpagewire.so"
nm -D --defined-only build/src/exports/libpagewire.so | awk '{print $3}' | sort

# A short fuzz run of both PDF fuzzers from the committed seeds, so that a
# fault in the reader's bounds fails the run.
scripts/fuzz.sh 30

# The Windows build, its unit tests under Wine, then the end-to-end scenarios.
scripts/build-windows.sh
tests/e2e/run_e2e.sh build-win
