# Sending under real use: a send interrupted on a socket printer and on an
# IPP printer, a file truncated while it is sent, a process substitution and
# a FIFO, a printer that is down, a full standard output.
# Sourced by real_use_scenarios.sh; slow_link.py beside it slows the link
# so that a send can be caught midway, and tells a reset from a clean close.

send_pdf=$tmp/send/big.pdf
mkdir -p "$tmp/send"
python3 "$source_dir/bench/gen_big_pdf.py" "$send_pdf" 200000
start_printer sendtest -f application/pdf
python3 "$source_dir/tests/linux/real_use/slow_link.py" "$tmp/send/raw" "$tmp/send/raw.port" \
  2000000 &
pids+=($!)
send_ipp_port=${uri_sendtest#ipp://127.0.0.1:}
send_ipp_port=${send_ipp_port%%/*}
wait_port "$send_ipp_port"
python3 "$source_dir/tests/linux/real_use/slow_link.py" "$tmp/send/ipp" "$tmp/send/ipp.port" \
  2000000 "$send_ipp_port" &
pids+=($!)
for _ in $(seq 100); do
  [ -s "$tmp/send/raw.port" ] && [ -s "$tmp/send/ipp.port" ] && break
  sleep 0.2
done
send_raw=socket://127.0.0.1:$(cat "$tmp/send/raw.port")
send_slow_ipp=ipp://127.0.0.1:$(cat "$tmp/send/ipp.port")/ipp/print

# send_midway JOB_END SIGNAL|truncate ARGS...: pagewire ARGS in the
# background (the signal at its default, as a shell in the foreground has
# it); once the link has read 512 KiB of the job that JOB_END ends, the
# signal, or the PDF cut to 1 MiB; then pagewire's status in $status and
# its messages in $err.
send_midway() {
  local end=$1 act=$2 pid
  shift 2
  env --default-signal=INT "$pagewire" "$@" </dev/null >"$tmp/out" 2>"$tmp/err" &
  pid=$!
  for _ in $(seq 100); do
    [ "$(stat -c %s "${end%.end}.bin" 2>/dev/null || echo 0)" -ge 524288 ] && break
    sleep 0.1
  done
  if [ "$act" = truncate ]; then truncate -s 1M "$send_pdf"; else kill -s "$act" "$pid"; fi
  for _ in $(seq 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null
  wait "$pid"
  status=$?
  err=$(cat "$tmp/err")
  for _ in $(seq 50); do [ -s "$end" ] && break; sleep 0.1; done
}

# Ctrl-C mid-send to a socket printer: a reset, never a clean close, and
# the file after it named too.
send_midway "$tmp/send/raw/job-1.end" INT -d "$send_raw" "$send_pdf" "$fixtures/plain.pdf"
[ "$status" -eq 130 ] || fail "SIGINT mid-send gave status $status, not 130: $err"
holds "$err" "SIGINT mid-send" "$send_raw: interrupted by SIGINT: the job is ended." \
  "[$send_pdf] is not sent: interrupted." "[$fixtures/plain.pdf] is not sent: the command ended"
grep -q '^reset' "$tmp/send/raw/job-1.end" 2>/dev/null ||
  fail "the socket printer saw no reset: $(cat "$tmp/send/raw/job-1.end" 2>/dev/null)"
[ ! -e "$tmp/send/raw/job-2.bin" ] || fail "the second file was sent after SIGINT"

# SIGTERM mid-send over IPP: the printer aborts the job, never completes it.
send_midway "$tmp/send/ipp/job-1.end" TERM -d "$send_slow_ipp" "$send_pdf"
[ "$status" -eq 143 ] || fail "SIGTERM mid-send over IPP gave status $status, not 143: $err"
holds "$err" "SIGTERM over IPP" "interrupted by SIGTERM: the job is ended."
grep -q '^reset' "$tmp/send/ipp/job-1.end" 2>/dev/null ||
  fail "the IPP printer saw no reset: $(cat "$tmp/send/ipp/job-1.end" 2>/dev/null)"
cat >"$tmp/send/jobs.test" <<'EOF'
{
  OPERATION Get-Jobs
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR keyword which-jobs all
  ATTR keyword requested-attributes job-id,job-state
  STATUS successful-ok
}
EOF
sleep 0.5
send_jobs=$(ipptool -tv "$uri_sendtest" "$tmp/send/jobs.test" 2>&1)
holds "$send_jobs" "the interrupted IPP job" "job-state (enum) = aborted"
if grep -q "job-state (enum) = completed" <<<"$send_jobs"; then
  fail "the interrupted IPP job completed: $send_jobs"
fi

# A file cut while it is sent: exit 1, said, and a reset rather than a
# job short of the size its header announced.
send_midway "$tmp/send/raw/job-2.end" truncate -d "$send_raw" "$send_pdf"
[ "$status" -eq 1 ] || fail "a truncated file gave status $status, not 1: $err"
holds "$err" "the truncated file" "$send_pdf: the file changed while it was sent"
grep -q '^reset' "$tmp/send/raw/job-2.end" 2>/dev/null ||
  fail "the truncated job was not reset: $(cat "$tmp/send/raw/job-2.end" 2>/dev/null)"

# Process substitution and a FIFO without an extension: copied, then sent
# as files, byte for byte.
expect 0 --output "$tmp/send/sub.prn" <(cat "$fixtures/plain.pdf")
cmp -s <(tail -c "$(stat -c %s "$fixtures/plain.pdf")" "$tmp/send/sub.prn") "$fixtures/plain.pdf" ||
  fail "<(cat plain.pdf) did not arrive byte for byte: $err"
holds "$(head -c 2000 "$tmp/send/sub.prn" | tr -d '\0')" "the substitution's header" \
  "@FSIZ=$(stat -c %s "$fixtures/plain.pdf")\""
mkfifo "$tmp/send/fifo"
cat "$fixtures/plain.pdf" >"$tmp/send/fifo" &
expect 0 --output "$tmp/send/fifo.prn" "$tmp/send/fifo"
plain_size=$(stat -c %s "$fixtures/plain.pdf")
cmp -s <(tail -c "$plain_size" "$tmp/send/fifo.prn") "$fixtures/plain.pdf" ||
  fail "the FIFO did not arrive byte for byte: $err"

# A printer that is down names every file not sent; a full standard output
# is told in Linux's words, with the status of a failed destination.
expect 3 -d "socket://127.0.0.1:$(free_port)" "$fixtures/plain.pdf" "$fixtures/r3_128.pdf"
holds "$err" "a printer that is down" "[$fixtures/plain.pdf] is not sent" \
  "[$fixtures/r3_128.pdf] is not sent"
timeout 60 "$pagewire" --show-header "$fixtures/plain.pdf" </dev/null >/dev/full 2>"$tmp/err"
status=$?
[ "$status" -eq 3 ] || fail "--show-header >/dev/full gave status $status, not 3"
holds "$(cat "$tmp/err")" "--show-header >/dev/full" \
  "pagewire: standard output: No space left on device"
