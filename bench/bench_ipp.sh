#!/usr/bin/env bash
# Times sending one large file to an IPP printer on the loopback interface:
#   pagewire -d ipp://127.0.0.1:PORT/ipp/print FILE.tif
# against a baseline measured in the same run,
#   ipptool -f FILE ipp://127.0.0.1:PORT/ipp/print (a Print-Job test)
# and prints both throughputs, their ratio (pagewire / ipptool: 1 is as fast
# as ipptool) and the peak resident set size of each (from /usr/bin/time -v).
# Each side is the median of REPEATS runs, the two sides alternating. The
# printer is bench/ipp_sink.py, which drops the document and notes its byte
# count, so that every byte is checked to have arrived. Not a test: the exit
# status is non-zero only on a setup error, a failed send or lost bytes.
#
# usage: bench/bench_ipp.sh [BUILD_DIR]   (default: build, in the checkout)
# Environment: PAGEWIRE=path of the command instead of BUILD_DIR/src/cli/
# pagewire; REPEATS (default 3); SIZE_MB (default 1024); TMPDIR for the file.
set -eu
export LC_ALL=C

me=bench_ipp.sh
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
pagewire=${PAGEWIRE:-$build/src/cli/pagewire}
repeats=${REPEATS:-3}
size_mb=${SIZE_MB:-1024}

fail() { echo "$me: $*" >&2; exit 1; }

[ $# -le 1 ] || { echo "usage: $me [BUILD_DIR]" >&2; exit 2; }
[ -x "$pagewire" ] || fail "$pagewire: no such program (build the pagewire_cli target first)"
[ -x /usr/bin/time ] || fail "/usr/bin/time not found (install the time package)"
command -v ipptool >/dev/null || fail "ipptool not found (install cups-ipp-utils)"

tmp=$(mktemp -d)
sink_pid=
cleanup() {
  if [ -n "$sink_pid" ]; then
    kill "$sink_pid" 2>/dev/null || true
    wait "$sink_pid" 2>/dev/null || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

python3 "$root/bench/ipp_sink.py" "$tmp/port" "$tmp/counts" &
sink_pid=$!
: >"$tmp/counts"
for _ in $(seq 500); do
  [ -s "$tmp/port" ] && break
  kill -0 "$sink_pid" 2>/dev/null || fail "the sink did not start"
  sleep 0.01
done
[ -s "$tmp/port" ] || fail "the sink did not start"
uri=ipp://127.0.0.1:$(cat "$tmp/port")/ipp/print

# The file: a TIFF byte-order mark, then random bytes; written once and read
# once, so that every run reads it from the page cache.
file=$tmp/bench.tif
{ printf 'II*\000\010\000\000\000'; head -c $((size_mb * 1048576 - 8)) /dev/urandom; } >"$file" ||
  fail "cannot write $file"
size=$(stat -c %s "$file")
cat "$file" >/dev/null
cat >"$tmp/print-job.test" <<'EOF'
{
  OPERATION Print-Job
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR name requesting-user-name $user
  ATTR name job-name bench.tif
  ATTR mimeMediaType document-format image/tiff
  FILE $filename
  STATUS successful-ok
}
EOF

jobs=0
run() { # name, command...; appends seconds to $tmp/NAME.s, peak KiB to NAME.kb
  local name=$1 t0 t1 status=0 count
  shift
  t0=$EPOCHREALTIME
  /usr/bin/time -v -o "$tmp/time.txt" "$@" </dev/null >"$tmp/out.txt" 2>&1 || status=$?
  t1=$EPOCHREALTIME
  [ "$status" -eq 0 ] || { cat "$tmp/out.txt" >&2; fail "$name exited with status $status"; }
  jobs=$((jobs + 1))
  count=$(sed -n "${jobs}p" "$tmp/counts")
  [ "$count" = "$size" ] || fail "$name: the sink received ${count:-no count} of $size bytes"
  echo "$t0 $t1" | awk '{ printf "%.6f\n", $2 - $1 }' >>"$tmp/$name.s"
  sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$tmp/time.txt" >>"$tmp/$name.kb"
}

for _ in $(seq "$repeats"); do
  run ipptool ipptool -f "$file" "$uri" "$tmp/print-job.test"
  run pagewire "$pagewire" -d "$uri" "$file"
done

median() { # file of numbers
  sort -g "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

awk -v size="$size" -v i="$(median "$tmp/ipptool.s")" -v p="$(median "$tmp/pagewire.s")" \
  -v ikb="$(sort -g "$tmp/ipptool.kb" | tail -n 1)" -v pkb="$(sort -g "$tmp/pagewire.kb" | tail -n 1)" 'BEGIN {
  gib = size / 1073741824
  printf "ipptool: %.2f GiB/s  pagewire: %.2f GiB/s  ratio %.2f  peak RSS ipptool %.1f MiB, pagewire %.1f MiB\n",
    gib / i, gib / p, i / p, ikb / 1024, pkb / 1024
}'
