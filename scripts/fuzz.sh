#!/usr/bin/env bash
# Builds the PDF fuzzers with clang (ASan and UBSan) in build-fuzz and runs
# each for a bounded time: scripts/fuzz.sh [SECONDS, default 300] [TARGET...]
# (targets: pdf_query_fuzzer, pdf_parser_fuzzer; default both). Seeds: the
# committed corpus, the regression files and the test fixtures; new inputs go
# to fuzz/corpus-work, which git ignores. A finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN=${1:-300}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(pdf_query_fuzzer pdf_parser_fuzzer)
BUILD=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPAGEWIRE_FUZZ=ON -DPAGEWIRE_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" --target "${TARGETS[@]}" -j "${JOBS:-2}"

mkdir -p "$BUILD/artifacts"
for target in "${TARGETS[@]}"; do
  work=fuzz/corpus-work/$target
  mkdir -p "$work"
  echo "== $target for $SECONDS_TO_RUN s"
  log=$BUILD/$target.log
  if ! "$BUILD/fuzz/$target" "$work" fuzz/corpus fuzz/regressions tests/pdf/fixtures \
    -dict=fuzz/pdf.dict \
    -max_total_time="$SECONDS_TO_RUN" \
    -max_len=16384 \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -artifact_prefix="$BUILD/artifacts/$target-" \
    -print_final_stats=1 >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "$target found a fault; the input is in $BUILD/artifacts" >&2
    exit 1
  fi
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|peak_rss_mb)' "$log"
done
