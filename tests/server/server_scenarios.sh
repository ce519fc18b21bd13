#!/usr/bin/env bash
# pagewire-server end to end: the service in the foreground on a loopback
# port with its state in a temporary folder, one printer on the loopback
# socket printer (tests/e2e/loopback_printer.py), jobs sent with ipptool.
# Run by ctest:
#   server_scenarios.sh PAGEWIRE_SERVER PAGEWIRE LIBPAGEWIRE SOURCE_DIR
set -uo pipefail
server=$1 pagewire=$2 library=$3 source_dir=$4
fixtures=$source_dir/tests/pdf/fixtures
here=$source_dir/tests/server
for tool in ipptool python3 convert cupsd lpadmin lp qpdf gs node; do
  command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh" >&2; exit 1; }
done
[ -d "$here/web/node_modules/playwright-core" ] ||
  { echo "missing playwright-core: npm ci --prefix $here/web (scripts/test.sh runs it)" >&2; exit 1; }

tmp=$(mktemp -d)
pids=()
server_pid=
# shellcheck source=../e2e/rig.sh
. "$source_dir/tests/e2e/rig.sh"
RIG_DIR=$tmp/rig
cleanup() {
  [ -n "$RIG_CUPSD_PID" ] && kill "$RIG_CUPSD_PID" 2>/dev/null && wait "$RIG_CUPSD_PID" 2>/dev/null
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  [ -n "${KEEP_TMP:-}" ] || rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); return 1; }
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config LOGNAME=pwtester
# The sub-commands find the service by its domain socket: root's is
# $SNAP_COMMON/pagewire-server.sock where that is set, another user's in
# $TMPDIR. Both are this run's, so that no other service answers them.
export SNAP_COMMON=$tmp TMPDIR=$tmp
# A sanitized build: PAPPL's own leaks are not the service's.
export LSAN_OPTIONS=suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}
# Python loads a sanitized library only after the sanitizer's runtime.
preload=
if ldd "$library" | grep -q libasan; then preload=$(ldd "$library" | awk '/libasan/ { print $3 }'); fi
mkdir -p "$HOME"
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

python3 "$source_dir/tests/e2e/loopback_printer.py" "$tmp/sink" "$tmp/sink.port" &
pids+=($!)
port=$(free_port)
state=$tmp/state
start_server() {
  "$server" server -o "state-directory=$state" -o "server-port=$port" \
    -o listen-hostname=127.0.0.1 -o log-level=debug -o job-end-wait=3 >>"$tmp/server.out" 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do
    (: <>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
    sleep 0.2
  done
  fail "the service does not listen on port $port: $(cat "$tmp/server.out")"
  exit 1
}
stop_server() {
  "$server" shutdown || fail "shutdown failed"
  wait "$server_pid"
  server_pid=
}
for _ in $(seq 50); do [ -s "$tmp/sink.port" ] && break; sleep 0.2; done
start_server

uri=ipp://127.0.0.1:$port/ipp/print/office
mac=00:1b:2c:3d:4e:5f
"$server" add -d office -m pagewire -v "socket://127.0.0.1:$(cat "$tmp/sink.port")" \
  -o print-quality=high -o print-color-mode=monochrome -o media=iso_a4_210x297mm \
  -o number-up=2 -o pagewire-key-mode=mac-address -o "pagewire-mac-address=$mac" \
  || fail "add with defaults failed"
# A default PAPPL 1.3 cannot keep is refused before anything is made.
if "$server" add -d other -m pagewire -v socket://127.0.0.1 -o copies=2 2>"$tmp/err"; then
  fail "add -o copies=2 was taken"
fi
grep -q "keeps no printer default for copies" "$tmp/err" || fail "add -o copies: $(cat "$tmp/err")"
"$server" printers | grep -qx office || fail "printers does not list office"
# The web pages, as a browser asks for them: in its language.
for page in / /office; do
  python3 -c 'import sys, urllib.request as u
r = u.urlopen(u.Request(sys.argv[1], headers={"Accept-Language": "de-DE,de;q=0.9,en;q=0.8"}), timeout=10)
sys.exit(0 if r.status == 200 and b"Pagewire print service" in r.read() else 1)' \
    "http://127.0.0.1:$port$page" || fail "the web page $page in a browser's language"
done
kill -0 "$server_pid" || { fail "the service ended on a web page"; exit 1; }
"$server" printers | grep -qx other && fail "the refused add made a printer"

# ipptool's requests: TEST.test with the given -d variables and file.
cat >"$tmp/print.test" <<'T'
{
  OPERATION Print-Job
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR name requesting-user-name $requser
  ATTR name document-name $name
  ATTR mimeMediaType document-format $format
  ATTR boolean ipp-attribute-fidelity $fidelity
  GROUP job-attributes-tag
  ATTR integer copies $copies
  ATTR keyword sides $sides
  ATTR rangeOfInteger page-ranges $ranges
  ATTR keyword multiple-document-handling $handling
  ATTR keyword print-scaling $scaling
  FILE $filename
  STATUS $status
}
T
sed -e '/ATTR boolean ipp-attribute-fidelity/a\  ATTR octetString document-password $password' "$tmp/print.test" >"$tmp/password.test"
cat >"$tmp/job.test" <<'T'
{
  OPERATION Get-Job-Attributes
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR integer job-id $job
  ATTR name requesting-user-name $requser
  ATTR keyword requested-attributes WHAT
  STATUS successful-ok
}
T
sed -e 's/Get-Job-Attributes/Get-Printer-Attributes/' -e '/job-id/d' "$tmp/job.test" >"$tmp/printer.test"
# send TEST FILE VAR=VALUE...: the request with the scenario's defaults;
# status=STATUS is the status wanted, tls sends it over ipps.
send() {
  local test=$1 file=$2 var
  shift 2
  local status=successful-ok target=$uri
  local vars=(-d "requser=$user" -d "name=$(basename "$file")" -d format=application/pdf
    -d fidelity=false -d copies=1 -d sides=one-sided -d ranges=1-999
    -d handling=separate-documents-collated-copies -d scaling=auto)
  for var in "$@"; do
    # ipptool reads no variable in STATUS.
    case $var in
      status=*) status=${var#status=} ;;
      tls) target=${uri/ipp:/ipps:} ;;
      *) vars+=(-d "$var") ;;
    esac
  done
  sed "s/STATUS \$status/STATUS $status/" "$tmp/$test.test" >"$tmp/run.test"
  ipptool -tv "${vars[@]}" -f "$file" "$target" "$tmp/run.test" >"$tmp/ipptool.out" 2>&1 &&
    job=$(sed -n 's/.*job-id (integer) = //p' "$tmp/ipptool.out" | head -1) &&
    grep -q '\[PASS\]' "$tmp/ipptool.out" ||
    fail "$test of $(basename "$file") ($*): $(grep -E 'status-code|EXPECTED|FAIL' "$tmp/ipptool.out")"
}
attrs() {  # attrs JOB WHAT: the job's attributes, one per line; JOB 0: the printer's
  local test=job
  [ "$1" = 0 ] && test=printer
  # ipptool splits no variable into values.
  sed "s/WHAT/$2/" "$tmp/$test.test" >"$tmp/run.test"
  ipptool -tv -d "requser=${asker:-$user}" -d job="$1" "$uri" "$tmp/run.test" 2>&1
}
# sent N: the loopback printer's Nth connection, once it has closed.
sent() {
  for _ in $(seq 100); do [ -f "$tmp/sink/job-$1.bin" ] && break; sleep 0.2; done
  echo "$tmp/sink/job-$1.bin"
}
# The job reaches STATE (the printer's USTATUS told its end).
ended() {  # ended JOB STATE [TRIES]: 0.2 s each, 50 by default
  for _ in $(seq "${3:-50}"); do attrs "$1" job-state | grep -q "job-state (enum) = $2" && return 0; sleep 0.2; done
  fail "job $1 is not $2: $(attrs "$1" all | grep -E 'job-state')"
}

# A PDF with settings of its own over the printer's defaults: exactly the
# header the command makes for the same settings, then the file, between
# the PJL job commands; completed once the printer says the job ended.
"$pagewire" --show-header -n 3 -P 2-5 -o collate=true -o sides=two-sided-short-edge \
  -o print-color-mode=monochrome -o print-quality=high -o layout=2up -o media=A4 \
  -o media-type=plain "$fixtures/plain.pdf" >"$tmp/plain.header" </dev/null ||
  fail "pagewire --show-header failed"
# The command's user is the requesting user: its header then names the same.
user=$(sed -n 's/^@PJL COMMENT UNAME=//p' "$tmp/plain.header")
send print "$fixtures/plain.pdf" copies=3 sides=two-sided-short-edge ranges=2-5
python3 "$here/check_sent.py" "$(sent 1)" "$tmp/plain.header" "$fixtures/plain.pdf" \
  localhost 127.000.000.001 || fail "the PDF job"
ended 1 completed

# A TIFF goes unchanged, with no header; text is refused, also when it
# comes as application/octet-stream.
convert -size 16x16 xc:red "$tmp/red.tif" && echo "plain words" >"$tmp/words.txt"
send print "$tmp/red.tif" format=image/tiff
python3 "$here/check_sent.py" "$(sent 2)" /dev/null "$tmp/red.tif" - - || fail "the TIFF job"
send print "$tmp/words.txt" format=text/plain status=client-error-document-format-not-supported
send print "$tmp/words.txt" format=application/octet-stream \
  status=client-error-document-format-not-supported
# A setting the header cannot carry: refused with fidelity, naming it;
# else printed with the printer's default (2-up).
send print "$fixtures/plain.pdf" fidelity=true scaling=fill \
  status=client-error-attributes-or-values-not-supported
grep -q "print-scaling (keyword) = fill" "$tmp/ipptool.out" || fail "the refusal names no attribute"
send print "$fixtures/plain.pdf" scaling=fill
grep -qa "LOUT=N2" "$(sent 3)" || fail "print-scaling=fill did not leave the default"
ls "$tmp/sink" | grep -q job-4 && fail "a refused job reached the printer"

# The password over TLS: tested against the PDF, encrypted under the
# printer's MAC address; in no file of the state, its spool or its debug
# log; nowhere in the job's attributes.
# (The first TLS connection makes the service's credentials; it may fail.)
sed "s/WHAT/printer-name/" "$tmp/printer.test" >"$tmp/run.test"
ipptool -d "requser=$user" "${uri/ipp:/ipps:}" "$tmp/run.test" >/dev/null 2>&1
send password "$fixtures/r6_aes256.pdf" password=user6 tls
LD_PRELOAD=$preload ASAN_OPTIONS=detect_leaks=0 \
  python3 "$source_dir/tests/e2e/check_password.py" "$(sent 4)" "$library" MA "${mac//:/}" user6 ||
  fail "the password job"
ended 4 completed
attrs 4 all >"$tmp/job4.attrs"
asker=mallory attrs 4 all >"$tmp/job4.other.attrs"
grep -q "job-state (enum) = completed" "$tmp/job4.other.attrs" || fail "another user cannot see job 4"
if grep -rqa -e user6 -e 7573657236 "$state" "$tmp/job4.attrs" "$tmp/job4.other.attrs"; then
  fail "the password was kept"
fi
grep -q "document-password" "$state/pagewire-server.log" && fail "the log names the password"
grep -q "Print-Job request:" "$state/pagewire-server.log" || fail "the debug log shows no request"
# A wrong password, from a loopback client: the job is held, saying why,
# and nothing reaches the printer.
send password "$fixtures/r6_aes256.pdf" password=guess
for _ in $(seq 50); do attrs 5 job-state-reasons | grep -q document-password-error && break; sleep 0.2; done
attrs 5 job-state-reasons | grep -q document-password-error || fail "job 5 has no document-password-error"
ended 5 pending-held
[ -e "$tmp/sink/job-5.bin" ] && fail "the printer was reached for a PDF with a wrong password"
# Released on the printer's web page in chromium, signed in over HTTPS:
# not without an account, not by another user, not with a wrong document
# password; by its owner with the right one, and then it prints.
account() {  # account NAME PASSWORD [--admin]
  echo "$2" | "$server" passwd -o "state-directory=$state" ${3:+"$3"} "$1" || fail "passwd $1"
}
account "$user" ownerpw && account bob bobpw && account admin adminpw --admin
mkdir -p "$tmp/shots"
node "$here/web/held_jobs.mjs" "https://127.0.0.1:$port" /office 5 "$user:ownerpw" bob:bobpw \
  admin:adminpw user6 "${SHOTS:-$tmp/shots}" || fail "the held-jobs page"
LD_PRELOAD=$preload ASAN_OPTIONS=detect_leaks=0 \
  python3 "$source_dir/tests/e2e/check_password.py" "$(sent 5)" "$library" MA "${mac//:/}" user6 ||
  fail "the job released on the web page"
ended 5 completed
grep -q "Sign-in refused for '$user'" "$state/pagewire-server.log" || fail "a refused sign-in is not logged"
if grep -rqa -e user6 -e ownerpw -e not-the-document-password "$state"; then
  fail "a password typed on the web page was kept"
fi

# A job the printer says it canceled is not completed.
cp "$fixtures/plain.pdf" "$tmp/cancel.pdf"
send print "$tmp/cancel.pdf"
ended 6 aborted
[ -s "$(sent 6)" ] || fail "the job the printer canceled was not sent"
attrs 6 job-state-message | grep -q "USER_CANCELED" || fail "job 6 does not say the printer canceled it"

# The printer and its defaults outlive a restart.
stop_server
start_server
attrs 0 \
  number-up-default,pagewire-key-mode-default,pagewire-mac-address-default,print-quality-default,print-color-mode-default,document-format-preferred \
  >"$tmp/printer.attrs"
for want in "number-up-default (integer) = 2" "pagewire-key-mode-default (keyword) = mac-address" \
  "pagewire-mac-address-default (textWithoutLanguage) = $mac" "print-quality-default (enum) = high" \
  "print-color-mode-default (keyword) = monochrome" "document-format-preferred (mimeMediaType) = application/pdf"; do
  grep -qF "$want" "$tmp/printer.attrs" || fail "after a restart, no $want: $(cat "$tmp/printer.attrs")"
done
send print "$fixtures/plain.pdf"
grep -qa 'LOUT=N2' "$(sent 7)" || fail "the restarted printer lost its number-up"

# The project's command through the service: the header it would make
# itself for the same options, then the file; --wait tells the printer's end.
# Its IPP request names the user its header does.
options=(-n 3 -P 2-5 -o collate=true -o sides=two-sided-short-edge -o print-color-mode=monochrome
  -o print-quality=high -o layout=2up -o media=A4 -o media-type=plain)
"$pagewire" --show-header "${options[@]}" "$fixtures/plain.pdf" \
  >"$tmp/command.header" </dev/null || fail "pagewire --show-header failed"
printed=$("$pagewire" -d "$uri" --wait=60 "${options[@]}" "$fixtures/plain.pdf" </dev/null 2>&1) ||
  fail "pagewire -d $uri: $printed"
grep -q "plain.pdf: printed" <<<"$printed" || fail "pagewire --wait did not tell the end: $printed"
python3 "$here/check_sent.py" "$(sent 8)" "$tmp/command.header" "$fixtures/plain.pdf" \
  localhost 127.000.000.001 || fail "the command's job"

# A printer that resets the connection mid-job: the job is aborted, not
# completed, and says so; the printer is offline until a job reaches it.
python3 "$source_dir/bench/gen_big_pdf.py" "$tmp/reset.pdf" 100000 || fail "no big PDF"
send print "$tmp/reset.pdf"
for _ in $(seq 150); do attrs "$job" job-state | grep -qE "= (aborted|completed|canceled)" && break; sleep 0.2; done
attrs "$job" all >"$tmp/reset.attrs"
grep -q "job-state (enum) = aborted" "$tmp/reset.attrs" ||
  fail "the reset job is not aborted: $(grep job-state "$tmp/reset.attrs")"
grep -q "job-state-message.*Not printed: the printer" "$tmp/reset.attrs" ||
  fail "the reset job does not say what the printer did: $(grep job-state "$tmp/reset.attrs")"
attrs 0 printer-state-reasons | grep -q "= offline" ||
  fail "the printer's state does not tell the reset: $(attrs 0 printer-state-reasons | grep reasons)"
[ -f "$(sent 9)" ] || fail "the reset job never reached the printer"

# A CUPS queue made driverless against the service: lp's settings reach
# the printer in the header, in front of the PDF CUPS sends on.
# cupsd runs its filters as lp, which reads the queue's PPD in our folder.
[ "$(id -u)" -eq 0 ] && chmod 711 "$tmp"
rig_start_cups || fail "no private cupsd"
# (Under a sanitized service on a busy machine lpadmin has once failed to
# reach the private cupsd that had just answered; it tries again then.)
for attempt in 1 2 3; do
  lpadmin -p Office -E -v "$uri" -m everywhere >"$tmp/lpadmin.out" 2>&1 && break
  grep -q "Unable to connect to server" "$tmp/lpadmin.out" && [ "$attempt" -lt 3 ] || break
  echo "lpadmin, attempt $attempt: $(cat "$tmp/lpadmin.out")" >&2
  sleep 2
done
lpstat -p Office >/dev/null 2>&1 || fail "lpadmin -m everywhere: $(cat "$tmp/lpadmin.out")"
lp -d Office -o sides=two-sided-long-edge -o copies=2 "$fixtures/plain.pdf" >"$tmp/lp.out" 2>&1 ||
  fail "lp: $(cat "$tmp/lp.out")"
cups_job=$(sent 10)
python3 - "$cups_job" "$tmp/cups.pdf" <<'PY' || fail "the CUPS job"
import re, sys
job = open(sys.argv[1], "rb").read()
start = job.find(b"%PDF-")
if start < 0:
    sys.exit("no PDF came: %r" % job[:200])
header = job[:start].decode("latin-1")
# Two copies: QTY when collated, else COPIES.
for want in (r"@PJL SET DUPLEX=ON\n", r"@PJL SET BINDING=LONGEDGE\n", r"@PJL SET (QTY =|COPIES=)2\n"):
    if not re.search(want, header):
        sys.exit("%s is not in the header:\n%s" % (want, header))
if not re.search(r"@PJL EOJ NAME = \"[^\"]*\"\r\n\x1b%-12345X$", job[-120:].decode("latin-1")):
    sys.exit("no EOJ at the end")
open(sys.argv[2], "wb").write(job[start:job.rfind(b"\x1b%-12345X@PJL\r\n@PJL EOJ")])
PY
qpdf --check "$tmp/cups.pdf" >/dev/null 2>&1 || fail "the PDF behind the CUPS job's header is damaged"
attrs 0 printer-state-reasons | grep -q offline && fail "the printer stays offline after a job reached it"

# Raster jobs reach the printer as a PDF of their pages after the header:
# a two-page PWG raster from Ghostscript and a PNG as application/octet-stream,
# two copies of it, which the header asks for (PAPPL renders the image once
# for each copy).
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pwgraster -r100 -sPAPERSIZE=a4 -o "$tmp/two.pwg" \
  -c "showpage showpage" || fail "gs made no PWG raster"
convert -size 64x48 xc:blue "$tmp/blue.png"
raster_count=11
for raster in "two.pwg image/pwg-raster 2 1" "blue.png application/octet-stream 1 2"; do
  read -r file format pages copies <<<"$raster"
  send print "$tmp/$file" format="$format" copies="$copies"
  ended "$job" completed
  python3 - "$(sent "$raster_count")" "$tmp/$file.pdf" "$copies" <<'PY' || fail "the raster job $file"
import re, sys
job = open(sys.argv[1], "rb").read()
start = job.find(b"%PDF-")
end = job.rfind(b"\x1b%-12345X@PJL\r\n@PJL EOJ")
if start < 0 or end < start or b"@PJL ENTER LANGUAGE = PDF" not in job[:start]:
    sys.exit("no header, then a PDF: %r" % job[:300])
if sys.argv[3] != "1" and not re.search(rb"@PJL SET (QTY =|COPIES=)" + sys.argv[3].encode() + rb"\n", job[:start]):
    sys.exit("the header does not ask for %s copies" % sys.argv[3])
open(sys.argv[2], "wb").write(job[start:end])
PY
  qpdf --check "$tmp/$file.pdf" >/dev/null 2>&1 || fail "the PDF made of $file is damaged"
  [ "$(qpdf --show-npages "$tmp/$file.pdf" 2>/dev/null)" = "$pages" ] || fail "the PDF of $file has not $pages pages"
  raster_count=$((raster_count + 1))
done
[ -z "$(ls "$state/spool" | grep raster-)" ] || fail "a raster job left its PDF in the spool"

# PDFs that come together are each printed once, one after another.
burst=()
for n in $(seq 12); do
  cp "$fixtures/plain.pdf" "$tmp/burst-$n.pdf"
  send print "$tmp/burst-$n.pdf" && burst+=("$job")
done
for id in "${burst[@]}"; do ended "$id" completed; done
for n in $(seq 12); do
  count=$(cat "$tmp"/sink/job-*.bin | grep -ac "EOJ NAME = \"burst-$n.pdf\"")
  [ "$count" = 1 ] || fail "burst-$n.pdf reached the printer $count times"
done

# A printer that takes the job and never tells its end: completed after
# the end's wait, saying that the end was not confirmed.
python3 - "$tmp/mute.port" "$tmp/mute.bin" <<'PY' &
import socket, sys
server = socket.create_server(("127.0.0.1", 0))
open(sys.argv[1], "w").write(str(server.getsockname()[1]))
conn, _ = server.accept()
with open(sys.argv[2], "wb", buffering=0) as out:
    while data := conn.recv(65536):
        out.write(data)
PY
pids+=($!)
for _ in $(seq 50); do [ -s "$tmp/mute.port" ] && break; sleep 0.1; done
"$server" add -d mute -m pagewire -v "socket://127.0.0.1:$(cat "$tmp/mute.port")" || fail "add mute"
office_uri=$uri uri=${uri%/office}/mute
send print "$fixtures/plain.pdf"
# PAPPL reads a socket printer in steps of 10 seconds.
ended "$job" completed 100
attrs "$job" job-state-message | grep -q "the printer did not confirm the job's end" ||
  fail "the unconfirmed job does not say so: $(attrs "$job" job-state-message | grep message)"
grep -qa "@PJL EOJ" "$tmp/mute.bin" || fail "the mute printer did not get the whole job"
uri=$office_uri

# A PDF that forbids printing is held with its reason, not sent.
before=$(ls "$tmp/sink" | wc -l)
send print "$fixtures/r4_aes128_noprint.pdf"
for _ in $(seq 50); do attrs "$job" job-state-reasons | grep -q document-permission-error && break; sleep 0.2; done
attrs "$job" all >"$tmp/noprint.attrs"
grep -q "document-permission-error" "$tmp/noprint.attrs" && grep -q "job-state (enum) = pending-held" "$tmp/noprint.attrs" &&
  grep -q "job-state-message.*forbids printing" "$tmp/noprint.attrs" ||
  fail "a PDF that forbids printing is not held with its reason: $(grep job-state "$tmp/noprint.attrs")"
[ "$(ls "$tmp/sink" | wc -l)" = "$before" ] || fail "a PDF that forbids printing reached the printer"

! grep -q "ERROR: AddressSanitizer" "$tmp/server.out" || fail "the sanitizer reported a fault: $(grep -A3 "ERROR: AddressSanitizer" "$tmp/server.out" | head -20)"
[ "$failures" -eq 0 ] && echo "all server scenarios passed"
exit $((failures > 0))
