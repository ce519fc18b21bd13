#!/usr/bin/env bash
# The print service against CUPS, to the same printer on the loopback
# interface (tests/e2e/loopback_printer.py, which saves each job and answers
# the PJL job status):
#   jobs per second: JOBS small PDFs, each a Print-Job by ipptool to
#     pagewire-server, against each an `lp -o raw` to a raw queue of a
#     private cupsd;
#   MB/s: one PDF of SIZE_MB MiB the same two ways;
#   the service's resident memory with 1, 100 and 1,000 printers.
# A side's time runs from the first request to the last job saved by the
# printer. Prints the figures and their ratios (service / CUPS: 1 is as fast
# as CUPS). Not a test: one run; the exit status is non-zero only on a
# setup error or a job that did not arrive.
#
# usage: bench/bench_server.sh [BUILD_DIR]   (default: build, in the checkout)
# Environment: JOBS (default 50), SIZE_MB (default 256), TMPDIR.
set -eu
export LC_ALL=C

me=bench_server.sh
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
server=$build/src/server/pagewire-server
jobs=${JOBS:-50}
size_mb=${SIZE_MB:-256}

fail() { echo "$me: $*" >&2; exit 1; }

[ $# -le 1 ] || { echo "usage: $me [BUILD_DIR]" >&2; exit 2; }
[ -x "$server" ] || fail "$server: no such program (build the pagewire_server target first)"
for tool in ipptool cupsd lpadmin lp python3; do
  command -v "$tool" >/dev/null || fail "$tool not found (run scripts/install-deps.sh)"
done

tmp=$(mktemp -d)
# cupsd's backends run as lp, which reaches its spool below this folder.
[ "$(id -u)" -eq 0 ] && chmod 711 "$tmp"
# shellcheck source=../tests/e2e/rig.sh
. "$root/tests/e2e/rig.sh"
RIG_DIR=$tmp/rig
mkdir -p "$RIG_DIR"
printer_pid= server_pid=
cleanup() {
  set +e
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  for pid in "$RIG_CUPSD_PID" "$printer_pid"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  [ -n "${KEEP_TMP:-}" ] || rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

python3 "$root/tests/e2e/loopback_printer.py" "$tmp/sink" "$tmp/sink.port" >"$tmp/printer.log" 2>&1 &
printer_pid=$!
for _ in $(seq 100); do [ -s "$tmp/sink.port" ] && break; sleep 0.05; done
[ -s "$tmp/sink.port" ] || fail "the loopback printer did not start"
device=socket://127.0.0.1:$(cat "$tmp/sink.port")

port=$(rig_free_port)
export HOME=$tmp/home
mkdir -p "$HOME"
"$server" server -o "state-directory=$tmp/state" -o "server-port=$port" \
  -o listen-hostname=127.0.0.1 -o log-level=warn >"$tmp/server.out" 2>&1 &
server_pid=$!
for _ in $(seq 100); do (: <>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done
(: <>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || fail "the service did not start: $(cat "$tmp/server.out")"
"$server" add -d bench -m pagewire -v "$device" >/dev/null || fail "add failed"
uri=ipp://127.0.0.1:$port/ipp/print/bench

rig_start_cups >/dev/null 2>&1 || fail "the private cupsd did not start"
lpadmin -p Raw -E -v "$device" -m raw 2>"$tmp/lpadmin.err" || fail "lpadmin failed: $(cat "$tmp/lpadmin.err")"

# The documents: a small PDF, and one of SIZE_MB MiB (one page drawing
# nothing, and a stream of random bytes nothing refers to).
small=$root/tests/pdf/fixtures/plain.pdf
big=$tmp/big.pdf
python3 - "$big" "$size_mb" <<'PY' || fail "cannot write $big"
import os, sys
path, mib = sys.argv[1], int(sys.argv[2])
with open(path, "wb") as f:
    offsets = []
    def obj(body):
        offsets.append(f.tell())
        f.write(b"%d 0 obj\n" % len(offsets) + body + b"\nendobj\n")
    f.write(b"%PDF-1.4\n")
    obj(b"<< /Type /Catalog /Pages 2 0 R >>")
    obj(b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>")
    obj(b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>")
    size = mib * 1048576
    offsets.append(f.tell())
    f.write(b"4 0 obj\n<< /Length %d >>\nstream\n" % size)
    for _ in range(mib):
        f.write(os.urandom(1048576))
    f.write(b"\nendstream\nendobj\n")
    xref = f.tell()
    f.write(b"xref\n0 5\n0000000000 65535 f \n")
    for at in offsets:
        f.write(b"%010d 00000 n \n" % at)
    f.write(b"trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % xref)
PY
cat "$big" >/dev/null

cat >"$tmp/print.test" <<'T'
{
  OPERATION Print-Job
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR name requesting-user-name bench
  ATTR mimeMediaType document-format application/pdf
  FILE $filename
  STATUS successful-ok
}
T

saved=0
# done_jobs: the jobs the printer has saved: each CUPS job is one connection;
# the service sends the jobs waiting for a printer over one connection, each
# between PJL JOB and EOJ.
done_jobs() {
  if [ "$1" = service ]; then
    local f
    for f in "$tmp"/sink/job-*.bin; do
      [ -e "$f" ] || continue
      # A large job is alone on its connection: its end is at the file's end.
      if [ "$(stat -c %s "$f")" -gt 1048576 ]; then tail -c 4096 "$f"; else cat "$f"; fi
    done | grep -ac '@PJL EOJ NAME' || true
  else
    find "$tmp/sink" -name 'job-*.bin' | wc -l
  fi
}
# arrived NAME N: waits until the printer has saved N more jobs.
arrived() {
  saved=$((saved + $2))
  for _ in $(seq 3000); do
    [ "$(done_jobs "$1")" -ge "$saved" ] && return 0
    sleep 0.02
  done
  fail "only $(done_jobs "$1") of $saved jobs arrived"
}
# timed NAME COUNT FILE: COUNT jobs of FILE the NAME way; seconds into NAME.s.
timed() {
  local name=$1 count=$2 file=$3 t0 t1
  t0=$EPOCHREALTIME
  for _ in $(seq "$count"); do
    if [ "$name" = service ]; then
      ipptool -f "$file" "$uri" "$tmp/print.test" >/dev/null || fail "Print-Job failed"
    else
      lp -d Raw -o raw "$file" >/dev/null || fail "lp failed"
    fi
  done
  arrived "$name" "$count"
  t1=$EPOCHREALTIME
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f\n", b - a }' >"$tmp/$name.$count.s"
  rm -f "$tmp"/sink/job-*.bin
  saved=0
}

timed cups "$jobs" "$small"
timed service "$jobs" "$small"
timed cups 1 "$big"
timed service 1 "$big"

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$server_pid/status"; }
rss1=$(rss)
for n in $(seq 2 1000); do
  "$server" add -d "p$n" -m pagewire -v "$device" >/dev/null || fail "add p$n failed"
  [ "$n" -eq 100 ] && rss100=$(rss)
done
rss1000=$(rss)

awk -v jobs="$jobs" -v mib="$size_mb" \
  -v cj="$(cat "$tmp/cups.$jobs.s")" -v sj="$(cat "$tmp/service.$jobs.s")" \
  -v cb="$(cat "$tmp/cups.1.s")" -v sb="$(cat "$tmp/service.1.s")" \
  -v r1="$rss1" -v r100="$rss100" -v r1000="$rss1000" 'BEGIN {
  printf "jobs/s (%d PDFs of 1 KB): lp -o raw via cupsd %.1f  pagewire-server %.1f  ratio %.2f\n",
    jobs, jobs / cj, jobs / sj, cj / sj
  printf "MB/s (one PDF of %d MiB): lp -o raw via cupsd %.1f  pagewire-server %.1f  ratio %.2f\n",
    mib, mib / cb, mib / sb, cb / sb
  printf "pagewire-server RSS: 1 printer %.1f MiB, 100 printers %.1f MiB, 1000 printers %.1f MiB\n",
    r1 / 1024, r100 / 1024, r1000 / 1024
}'
