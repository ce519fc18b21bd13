#!/usr/bin/env bash
# End-to-end rig, sourced by run_e2e.sh: a fresh Wine session (prefix, Xvfb,
# wineserver), a private CUPS server and our loopback raw-socket printer.
# Everything lives in RIG_DIR and is stopped by rig_stop (set as EXIT trap).
# Never touches the machine's own cupsd: ours has its own folders and port.

RIG_SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../scripts/wine-env.sh
. "$RIG_SOURCE_DIR/scripts/wine-env.sh"

# Seconds one Windows program may run in a scenario.
RIG_RUN_TIMEOUT=${RIG_RUN_TIMEOUT:-60}
# Seconds to wait for a job to reach the loopback printer.
RIG_JOB_TIMEOUT=${RIG_JOB_TIMEOUT:-20}

RIG_DIR=""
RIG_CUPSD_PID=""
RIG_PRINTER_PID=""
RIG_APP_PIDS=()

rig_log() { echo "rig: $*" >&2; }

rig_free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

rig_write_cups_config() {
  local c=$RIG_DIR/cups
  mkdir -p "$c/etc/ppd" "$c/spool/tmp" "$c/cache" "$c/log" "$c/state/certs"
  cat >"$c/etc/cupsd.conf" <<CONF
Listen 127.0.0.1:$RIG_CUPS_PORT
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
WebInterface No
LogLevel warn
MaxJobs 0
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cat >"$c/etc/cups-files.conf" <<CONF
ServerRoot $c/etc
RequestRoot $c/spool
TempDir $c/spool/tmp
CacheDir $c/cache
StateDir $c/state
ErrorLog $c/log/error_log
AccessLog $c/log/access_log
PageLog $c/log/page_log
User $RIG_CUPS_USER
Group $RIG_CUPS_GROUP
SystemGroup $(id -gn)
Sandboxing Relaxed
CONF
  # cupsd refuses to run its helpers as root; they then run as lp and need
  # to reach the spool through the rig folder.
  if [ "$(id -u)" -eq 0 ]; then
    chmod 755 "$RIG_DIR"
    chown -R "root:$RIG_CUPS_GROUP" "$c"
    chmod -R g+rwX "$c"
  fi
}

rig_start_cups() {
  RIG_CUPS_PORT=$(rig_free_port)
  if [ "$(id -u)" -eq 0 ]; then RIG_CUPS_USER=lp RIG_CUPS_GROUP=lp
  else RIG_CUPS_USER=$(id -un) RIG_CUPS_GROUP=$(id -gn)
  fi
  rig_write_cups_config
  cupsd -f -c "$RIG_DIR/cups/etc/cupsd.conf" -s "$RIG_DIR/cups/etc/cups-files.conf" \
    </dev/null >"$RIG_DIR/cups/log/cupsd.out" 2>&1 &
  RIG_CUPSD_PID=$!
  export CUPS_SERVER=127.0.0.1:$RIG_CUPS_PORT
  local _
  for _ in $(seq 100); do
    lpstat -h "$CUPS_SERVER" -r >/dev/null 2>&1 && return 0
    kill -0 "$RIG_CUPSD_PID" 2>/dev/null || break
    sleep 0.1
  done
  rig_log "private cupsd did not start:"; cat "$RIG_DIR/cups/log/"* >&2
  return 1
}

rig_start_printer() {
  RIG_JOBS=$RIG_DIR/jobs
  python3 "$RIG_SOURCE_DIR/tests/e2e/loopback_printer.py" "$RIG_JOBS" "$RIG_DIR/printer.port" \
    </dev/null >"$RIG_DIR/printer.log" 2>&1 &
  RIG_PRINTER_PID=$!
  local _
  for _ in $(seq 100); do
    [ -f "$RIG_DIR/printer.port" ] && { RIG_PRINTER_PORT=$(cat "$RIG_DIR/printer.port"); return 0; }
    sleep 0.05
  done
  rig_log "loopback printer did not start"; return 1
}

# add_raw_queue NAME: a CUPS raw queue that delivers to the loopback printer.
add_raw_queue() {
  lpadmin -h "$CUPS_SERVER" -p "$1" -E -v "socket://127.0.0.1:$RIG_PRINTER_PORT" -m raw \
    >>"$RIG_DIR/lpadmin.log" 2>&1
}

# rig_start: everything up; sets RIG_DIR, CUPS_SERVER, RIG_JOBS and the Wine session.
rig_start() {
  RIG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/pagewire-e2e.XXXXXX")
  trap rig_stop EXIT
  trap 'exit 130' INT TERM
  rig_start_printer || return 1
  rig_start_cups || return 1
  wine_session_start "$RIG_DIR/wine" || return 1
  # shellcheck disable=SC1091
  . "$RIG_DIR/wine/env"
  export PAGEWIRE_WINE_SESSION=$RIG_DIR/wine
}

rig_stop() {
  # It runs as the EXIT trap, also of scripts under set -e: a process that has
  # already gone must not stop the clean-up half-way.
  set +e
  local pid
  for pid in "${RIG_APP_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  [ -n "$RIG_DIR" ] && [ -d "$RIG_DIR/wine" ] && wine_session_stop "$RIG_DIR/wine"
  for pid in "$RIG_CUPSD_PID" "$RIG_PRINTER_PID"; do
    [ -n "$pid" ] || continue
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
  done
  if [ -n "$RIG_DIR" ] && [ -z "${RIG_KEEP:-}" ]; then rm -rf "$RIG_DIR"; fi
  RIG_CUPSD_PID="" RIG_PRINTER_PID="" RIG_DIR=""
}

# wine_run PROGRAM ARGS...: runs a Windows program to its end (bounded).
wine_run() {
  timeout -k 5 "$RIG_RUN_TIMEOUT" "$PAGEWIRE_WINE" "$@" </dev/null
}

# wine_query PROGRAM ARGS...: runs a program that only reports (no side
# effects) and prints its output; one failed run is tried again, since Wine
# now and then loses a process start.
wine_query() {
  local out rc
  out=$(wine_run "$@" | tr -d '\r'; exit "${PIPESTATUS[0]}"); rc=$?
  if [ "$rc" -ne 0 ]; then
    rig_log "$(basename "$1") failed (exit $rc); running it again"
    out=$(wine_run "$@" | tr -d '\r'; exit "${PIPESTATUS[0]}"); rc=$?
  fi
  printf '%s\n' "$out"
  return "$rc"
}

# start_app PROGRAM ARGS...: starts a Windows program in the background
# (bounded); its pid is in RIG_APP_PID, its output in $RIG_DIR/app-PID.log.
start_app() {
  timeout -k 5 "$RIG_RUN_TIMEOUT" "$PAGEWIRE_WINE" "$@" </dev/null >"$RIG_DIR/app.log" 2>&1 &
  RIG_APP_PID=$!
  RIG_APP_PIDS+=("$RIG_APP_PID")
}

# stop_apps: ends every started program still running, so that a failed
# scenario leaves no window behind for the next one to find.
stop_apps() {
  local pid
  for pid in "${RIG_APP_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${RIG_APP_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  RIG_APP_PIDS=()
}

# wait_app: waits for the last started program; returns its exit code.
wait_app() { wait "$RIG_APP_PID"; }

# drive ARGS...: runs the dialog driver (see tests/e2e/driver/pwdrive.cpp).
drive() { wine_run "$RIG_DRIVER" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# job_count: the number of complete jobs the loopback printer has saved.
job_count() { find "$RIG_JOBS" -maxdepth 1 -name 'job-*.bin' | wc -l; }

# wait_job N: waits until job N has fully arrived.
wait_job() {
  local deadline=$((SECONDS + RIG_JOB_TIMEOUT))
  while [ ! -f "$RIG_JOBS/job-$1.bin" ]; do
    [ $SECONDS -ge $deadline ] && { rig_log "job $1 did not arrive"; return 1; }
    sleep 0.1
  done
}

# expect_job_bytes N FILE: job N holds exactly the bytes of FILE.
expect_job_bytes() {
  wait_job "$1" || return 1
  cmp "$RIG_JOBS/job-$1.bin" "$2" || { rig_log "job $1 differs from $2"; return 1; }
}

# screenshot NAME: saves the Xvfb screen as $RIG_SHOTS/NAME.png when RIG_SHOTS is set.
screenshot() {
  [ -n "${RIG_SHOTS:-}" ] || return 0
  mkdir -p "$RIG_SHOTS"
  sleep 1  # a window that has just appeared paints a moment later
  xwd -root -display "$DISPLAY" -silent | convert xwd:- "$RIG_SHOTS/$1.png"
}
