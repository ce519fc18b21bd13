# The harness of the command's scenario scripts: a private folder and HOME,
# servers stopped at exit, a failure count, and checks of a run's output.
# Sourced after setting $pagewire and $source_dir.
fixtures=$source_dir/tests/pdf/fixtures
for tool in ippeveprinter ipptool dbus-daemon python3; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh" >&2; exit 1; }
done

tmp=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); return 1; }

# TLS credentials, trusted printers and pagewire's settings stay in here.
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config LOGNAME=pwtester
mkdir -p "$HOME" "$tmp/keys"
# ippeveprinter needs a system bus even without DNS-SD.
dbus-daemon --session --address="unix:path=$tmp/bus" --nofork --nopidfile &
pids+=($!)
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$tmp/bus

# The print command of the printers: each job's IPP_* environment beside its
# document; a job named fail* fails.
cat >"$tmp/record.sh" <<'SH'
#!/bin/sh
env | grep -E '^(IPP_|CONTENT_TYPE=)' | sort >"$1.env"
case "$IPP_JOB_NAME" in fail*) exit 1 ;; esac
SH
chmod +x "$tmp/record.sh"

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

# wait_port PORT: until something listens on 127.0.0.1:PORT (20 s at most).
wait_port() {
  for _ in $(seq 100); do
    (: <>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
    sleep 0.2
  done
  fail "nothing listens on port $1"
}

# start_printer NAME ARGS...: ippeveprinter NAME, its URI in uri_NAME, its
# jobs in $tmp/NAME and its log in $tmp/NAME.log.
start_printer() {
  local name=$1 port
  shift
  port=$(free_port)
  mkdir -p "$tmp/$name"
  ippeveprinter -vvv -r off -p "$port" -K "$tmp/keys" -d "$tmp/$name" -k -c "$tmp/record.sh" \
    "$@" "$name" >"$tmp/$name.log" 2>&1 &
  pids+=($!)
  printf -v "uri_$name" 'ipp://127.0.0.1:%s/ipp/print' "$port"
}

# expect STATUS ARGS...: pagewire's exit status must be STATUS; its output
# is left in $out and $err.
expect() {
  local want=$1 status
  shift
  timeout -k 5 60 "$pagewire" "$@" </dev/null >"$tmp/out" 2>"$tmp/err"
  status=$?
  out=$(cat "$tmp/out") err=$(cat "$tmp/err")
  [ "$status" -eq "$want" ] || fail "pagewire $* gave status $status, not $want: $err"
}
# holds TEXT WHAT STRING...: TEXT holds each STRING.
holds() {
  local text=$1 what=$2 string
  shift 2
  for string in "$@"; do grep -qF -- "$string" <<<"$text" || fail "$what lacks '$string': $text"; done
}
# job PRINTER ID: the document that job ID of PRINTER received.
job() { ls "$tmp/$1/$2"-*.pdf 2>/dev/null | grep -v '\.env$' | head -n 1; }
# job_env PRINTER ID: the IPP_* environment of that job, written by the
# printer's command once it has run (10 s at most).
job_env() {
  local env
  for _ in $(seq 50); do
    env=$(ls "$tmp/$1/$2"-*.env 2>/dev/null | head -n 1)
    [ -n "$env" ] && [ -s "$env" ] && { cat "$env"; return 0; }
    sleep 0.2
  done
  fail "job $2 of $1 never ran"
}
