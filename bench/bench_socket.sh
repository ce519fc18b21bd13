#!/usr/bin/env bash
# Times sending one large file to a raw socket on the loopback interface:
#   pagewire -d socket://127.0.0.1:PORT FILE.tif   (sent raw: no header)
# against a baseline measured in the same run,
#   cat FILE > /dev/tcp/127.0.0.1/PORT             (bash)
# and prints both throughputs, their ratio (pagewire / cat: 1 is as fast as
# cat) and the peak resident set size of pagewire (from /usr/bin/time -v).
# Each side is the median of REPEATS runs, the two sides alternating. A small
# python3 listener takes the connections one after another, discards the bytes
# and notes the count of each, so that every byte is checked to have arrived.
# Not a test: the exit status is non-zero only on a setup error, a failed
# send or lost bytes.
#
# usage: bench/bench_socket.sh [BUILD_DIR]   (default: build, in the checkout)
# Environment: PAGEWIRE=path of the command instead of BUILD_DIR/src/cli/
# pagewire; REPEATS (default 3); SIZE_MB (default 1024); TMPDIR for the file.
set -eu
export LC_ALL=C

me=bench_socket.sh
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
pagewire=${PAGEWIRE:-$build/src/cli/pagewire}
repeats=${REPEATS:-3}
size_mb=${SIZE_MB:-1024}

fail() { echo "$me: $*" >&2; exit 1; }

[ $# -le 1 ] || { echo "usage: $me [BUILD_DIR]" >&2; exit 2; }
if [ ! -f "$pagewire" ] || [ ! -x "$pagewire" ]; then
  fail "$pagewire: no such program (build the pagewire_cli target first)"
fi
[ -x /usr/bin/time ] || fail "/usr/bin/time not found (install the time package)"
command -v python3 >/dev/null || fail "python3 not found"

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

# The sink: one connection at a time, received into a 1 MiB buffer and
# dropped; the byte count of each connection is appended to a line of COUNTS.
python3 -c '
import os, socket, sys
port_file, counts_file = sys.argv[1], sys.argv[2]
server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
server.bind(("127.0.0.1", 0))
server.listen(1)
with open(port_file + ".part", "w") as f:
    f.write(f"{server.getsockname()[1]}\n")
os.rename(port_file + ".part", port_file)
buf = bytearray(1 << 20)
while True:
    conn, _ = server.accept()
    count = 0
    with conn:
        while True:
            n = conn.recv_into(buf)
            if not n:
                break
            count += n
    with open(counts_file, "a") as f:
        f.write(f"{count}\n")
' "$tmp/port" "$tmp/counts" &
sink_pid=$!
: >"$tmp/counts"

for _ in $(seq 500); do
  [ -s "$tmp/port" ] && break
  kill -0 "$sink_pid" 2>/dev/null || fail "the listener did not start"
  sleep 0.01
done
[ -s "$tmp/port" ] || fail "the listener did not start"
port=$(cat "$tmp/port")

# The file: a TIFF byte-order mark, then random bytes; written once, not
# sparse, and read once so that every run reads it from the page cache.
file=$tmp/bench.tif
{ printf 'II*\000\010\000\000\000'; head -c $((size_mb * 1048576 - 8)) /dev/urandom; } >"$file" ||
  fail "cannot write $file"
size=$(stat -c %s "$file")
cat "$file" >/dev/null

connections=0
run() { # name, command...; appends seconds to $tmp/NAME.s, peak KiB to NAME.kb
  local name=$1 t0 t1 status=0 count
  shift
  t0=$EPOCHREALTIME
  /usr/bin/time -v -o "$tmp/time.txt" "$@" </dev/null >"$tmp/out.txt" 2>&1 || status=$?
  t1=$EPOCHREALTIME
  if [ "$status" -ne 0 ]; then
    cat "$tmp/out.txt" >&2
    fail "$name exited with status $status"
  fi
  connections=$((connections + 1))
  for _ in $(seq 3000); do
    [ "$(wc -l <"$tmp/counts")" -ge "$connections" ] && break
    kill -0 "$sink_pid" 2>/dev/null || fail "the listener died"
    sleep 0.01
  done
  count=$(sed -n "${connections}p" "$tmp/counts")
  [ "$count" = "$size" ] ||
    fail "$name: the listener received ${count:-no count} of $size bytes"
  echo "$t0 $t1" | awk '{ printf "%.6f\n", $2 - $1 }' >>"$tmp/$name.s"
  sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$tmp/time.txt" >>"$tmp/$name.kb"
}

for _ in $(seq "$repeats"); do
  # shellcheck disable=SC2016 # expanded by the inner bash
  run cat bash -c 'cat "$1" >"/dev/tcp/127.0.0.1/$2"' bash "$file" "$port"
  run pagewire "$pagewire" -d "socket://127.0.0.1:$port" "$file"
done

median() { # file of numbers
  sort -g "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

cat_s=$(median "$tmp/cat.s")
pw_s=$(median "$tmp/pagewire.s")
pw_kb=$(sort -g "$tmp/pagewire.kb" | tail -n 1)
awk -v size="$size" -v c="$cat_s" -v p="$pw_s" -v kb="$pw_kb" 'BEGIN {
  gib = size / 1073741824
  printf "cat: %.2f GiB/s  pagewire: %.2f GiB/s  ratio %.2f  pagewire peak RSS %.1f MiB\n",
    gib / c, gib / p, c / p, kb / 1024
}'
