#!/usr/bin/env bash
# pagewire-server on the network: announced through Avahi (a private
# system bus and avahi-daemon on this machine's network interface), a
# printer added while the service runs at once and again after a restart;
# and answering a client on another machine. (server_scenarios.sh runs the
# service on loopback, without Avahi.)
#   network_scenario.sh PAGEWIRE_SERVER
set -uo pipefail
server=$1
for tool in avahi-daemon avahi-browse dbus-daemon ipptool curl; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh" >&2; exit 1; }
done
# avahi-daemon keeps its pid file and socket in /run/avahi-daemon.
if [ "$(id -u)" -ne 0 ]; then echo "skipped: avahi-daemon runs as root only"; exit 0; fi
if pgrep -x avahi-daemon >/dev/null; then echo "skipped: this machine runs its own avahi-daemon"; exit 0; fi
interface=$(ip -4 -o addr show scope global | awk '{ print $2; exit }')
[ -n "$interface" ] || { echo "skipped: no network interface but loopback, which has no multicast"; exit 0; }

tmp=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  [ -n "${KEEP_TMP:-}" ] || rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
export SNAP_COMMON=$tmp TMPDIR=$tmp DBUS_SYSTEM_BUS_ADDRESS=unix:path=$tmp/bus
# A sanitized build: PAPPL's own leaks are not the service's.
export LSAN_OPTIONS=suppressions=$(dirname "$0")/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}

cat >"$tmp/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$tmp/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/><allow own="*"/><allow send_destination="*"/><allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
printf '[server]\nuse-ipv6=no\nallow-interfaces=%s\n[publish]\npublish-workstation=no\n' \
  "$interface" >"$tmp/avahi.conf"
dbus-daemon --config-file="$tmp/bus.conf" --nofork --nopidfile >"$tmp/bus.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -S "$tmp/bus" ] && break; sleep 0.1; done
avahi-daemon --no-drop-root --no-chroot --no-rlimits -f "$tmp/avahi.conf" >"$tmp/avahi.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q "Server startup complete" "$tmp/avahi.log" && break; sleep 0.1; done
grep -q "Server startup complete" "$tmp/avahi.log" || { fail "avahi-daemon: $(cat "$tmp/avahi.log")"; exit 1; }

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])')
start_server() {
  "$server" server -o "state-directory=$tmp/state" -o "server-port=$port" -o log-level=info \
    >>"$tmp/server.out" 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do (: <>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0; sleep 0.1; done
  fail "the service does not listen: $(cat "$tmp/server.out")"
  exit 1
}
# announced NAME: the printer NAME is browsable as _ipp._tcp on the port.
announced() {
  for _ in $(seq 20); do
    timeout 5 avahi-browse -rpt _ipp._tcp 2>/dev/null | grep -q "^=;.*;$1;.*;$port;.*URF=" && return 0
    sleep 0.5
  done
  fail "$1 is not announced: $(timeout 5 avahi-browse -rpt _ipp._tcp 2>&1 | head -5)"
}
start_server
"$server" add -d lobby -m pagewire -v socket://127.0.0.1:9 || fail "add lobby"
announced lobby
# A client on another machine (this one's own address): a plain request is
# asked to upgrade to TLS, which libcups does, and a browser asking for a
# sign-in page is sent to https.
address=$(ip -4 -o addr show dev "$interface" | awk '{ sub(/\/.*/, "", $4); print $4; exit }')
cat >"$tmp/validate.test" <<'T'
{
  OPERATION Validate-Job
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR name requesting-user-name remote
  ATTR mimeMediaType document-format application/pdf
  STATUS successful-ok
}
T
ipptool -t "ipp://$address:$port/ipp/print/lobby" "$tmp/validate.test" >"$tmp/remote.out" 2>&1 ||
  fail "a plain request from another machine: $(cat "$tmp/remote.out")"
grep -q "Upgrading to encrypted connection" "$tmp/state/pagewire-server.log" ||
  fail "the plain request was not upgraded"
redirect=$(curl -s -o /dev/null -w '%{http_code} %{redirect_url}' "http://$address:$port/lobby/held")
[ "$redirect" = "301 https://$address:$port/lobby/held" ] || fail "the held-jobs page over http: $redirect"
"$server" shutdown || fail "shutdown"
wait "$server_pid"
start_server
pids+=("$server_pid")
announced lobby
"$server" shutdown
wait "$server_pid"

[ "$failures" -eq 0 ] && echo "the service is announced through Avahi and answers other machines"
exit $((failures > 0))
