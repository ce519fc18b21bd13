#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests, the same under
# AddressSanitizer and UBSan, the Debian packages (lintian, a program built
# against them), a fuzz smoke run, then the Windows build's tests and the
# end-to-end scenarios under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=$(nproc)

# playwright-core, which drives chromium through the service's web pages.
npm ci --no-audit --no-fund --prefix tests/server/web

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$JOBS"
ctest --test-dir build --output-on-failure -j "$JOBS"

echo "== the native tests once more under AddressSanitizer and UBSan"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPAGEWIRE_SANITIZE=ON
cmake --build build-asan -j "$JOBS"
ctest --test-dir build-asan --output-on-failure -j "$JOBS"

echo "== the Debian packages: built from debian/, linted, unpacked and used"
JOBS=$JOBS tests/packaging/debian_packages_test.sh build-deb

echo "== exported symbols of libpagewire.so"
nm -D --defined-only build/src/exports/libpagewire.so | awk '{print $3}' | sort

# A short fuzz run of both PDF fuzzers from the committed seeds, so that a
# fault in the reader's bounds fails the run.
scripts/fuzz.sh 30

# The Windows build, its unit tests under Wine, then the end-to-end scenarios.
scripts/build-windows.sh
tests/e2e/run_e2e.sh build-win
