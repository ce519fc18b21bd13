#!/usr/bin/env bash
# Cross-builds the Windows programs and the installer into build-win with
# MinGW-w64 and NSIS, runs their tests (under Wine), and shows what
# pagewire.exe imports and exports. PAGEWIRE_WIN_CMAKE_ARGS adds CMake
# options, for example the signing certificate and key.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${PAGEWIRE_WIN_BUILD_DIR:-build-win}
JOBS=${JOBS:-2}
# However the run ends (a failure, Ctrl-C), the tests' Wine session (its Xvfb
# and wineserver) does not outlive it.
trap 'scripts/wine-env.sh stop "$BUILD/wine-session" >/dev/null 2>&1 || true' EXIT
trap 'exit 130' INT TERM

# shellcheck disable=SC2086  # PAGEWIRE_WIN_CMAKE_ARGS is a list of options
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo ${PAGEWIRE_WIN_CMAKE_ARGS:-}
cmake --build "$BUILD" -j "$JOBS"
# The Wine session fixture starts before the first test and ends after the last.
# A test program is run a second time only when its first run fails, which
# under Wine is seen now and then when a process start is lost.
ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS" --timeout 300 --repeat until-pass:2

exe=$(find "$BUILD" -name pagewire.exe -print -quit)
if [ -n "$exe" ]; then
  echo "== DLLs imported by $exe"
  x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print $3}'
  echo "== names exported by $exe"
  x86_64-w64-mingw32-objdump -p "$exe" |
    awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && NF==0 {on=0} on {print $NF}'
fi
