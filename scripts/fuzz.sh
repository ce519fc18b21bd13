#!/usr/bin/env bash
# Builds the PDF query fuzzer with clang in build-fuzz and runs it for a
# bounded time: scripts/fuzz.sh [seconds, default 300].
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN=${1:-300}
BUILD=build-fuzz
WORK=fuzz/corpus-work

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPAGEWIRE_FUZZ=ON -DPAGEWIRE_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" --target pdf_query_fuzzer -j 2

mkdir -p "$WORK" "$BUILD/artifacts"
# New inputs go to the work corpus; the committed seeds stay as they are.
"$BUILD/fuzz/pdf_query_fuzzer" "$WORK" fuzz/corpus \
  -dict=fuzz/pdf.dict \
  -max_total_time="$SECONDS_TO_RUN" \
  -max_len=16384 \
  -timeout=10 \
  -rss_limit_mb=2048 \
  -artifact_prefix="$BUILD/artifacts/" \
  -print_final_stats=1
