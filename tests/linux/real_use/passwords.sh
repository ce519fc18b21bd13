# The command's passwords: bounded password input, a long AES-256 password
# over IPP, a non-ASCII password typed at a terminal for an RC4 file, and
# plain ipp:// to another host. Sourced by real_use_scenarios.sh.

# pw_peak STDIN ARGS...: runs pagewire with STDIN; "STATUS PEAK_KIB" on
# standard output, its messages in $tmp/err.
pw_peak() {
  python3 -c '
import resource, subprocess, sys
pagewire, err_path, stdin, args = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
with open(stdin, "rb") as source, open(err_path, "wb") as err:
    try:
        status = subprocess.run([pagewire] + args, stdin=source, stdout=subprocess.DEVNULL,
                                stderr=err, timeout=20).returncode
    except subprocess.TimeoutExpired:
        status = "timeout"
print(status, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
' "$pagewire" "$tmp/err" "$@"
}

# Password input without a line end (/dev/zero, an endless first line): 4 KiB
# are read at most, then a usage error naming the option, in bounded memory.
pw_input() { # NAME OPTION STDIN ARGS...
  local name=$1 option=$2 status kib
  shift 2
  read -r status kib < <(pw_peak "$@" --output "$tmp/pw.prn" "$fixtures/r3_128.pdf")
  echo "password input, $name: exit $status, peak $kib KiB"
  [ "$status" = 2 ] || fail "$name: exit $status, not 2: $(cat "$tmp/err")"
  [ "$kib" -lt 65536 ] || fail "$name: $kib KiB of memory"
  holds "$(cat "$tmp/err")" "$name's message" "$option" "longer than 4096 bytes"
}
pw_input "--password-file /dev/zero" --password-file /dev/null --password-file /dev/zero
pw_input "--password-stdin </dev/zero" --password-stdin /dev/zero --password-stdin
yes password | tr -d '\n' |
  pw_input "an endless first line" --password-stdin /dev/stdin --password-stdin
[ -e "$tmp/pw.prn" ] && fail "an output file was made for a refused password"

# A 37-character password of an AES-256 file: IPP's document-password takes
# it whole; the header's 32-byte block cannot, and says so.
cat >"$tmp/pw.conf" <<'EOF'
ATTR mimeMediaType document-format-supported application/pdf
ATTR integer document-password-supported 1023
ATTR keyword media-supported iso_a4_210x297mm
ATTR collection media-size-supported {MEMBER integer x-dimension 21000 MEMBER integer y-dimension 29700}
ATTR keyword media-type-supported stationery
ATTR enum print-quality-supported 3,4,5
EOF
start_printer pwipp -a "$tmp/pw.conf"
pw_port=${uri_pwipp#ipp://127.0.0.1:}
wait_port "${pw_port%%/*}"
pw_long=correct-horse-battery-staple-37-chars
qpdf --encrypt "$pw_long" owner 256 -- "$fixtures/plain.pdf" "$tmp/aes256_long.pdf"
printf '%s\n' "$pw_long" >"$tmp/pw_long"
expect 0 --password-file "$tmp/pw_long" -d "$uri_pwipp" "$tmp/aes256_long.pdf"
grep -qF "document-password (octetString) $pw_long" "$tmp/pwipp.log" ||
  fail "the printer did not get the 37-character password"
cmp -s "$(job pwipp 1)" "$tmp/aes256_long.pdf" || fail "the AES-256 file did not arrive unchanged"
expect 1 --password-file "$tmp/pw_long" --output "$tmp/pw.prn" "$tmp/aes256_long.pdf"
holds "$err" "a header's long password" "longer than 32 bytes"

# pässwörd typed in UTF-8 at a terminal for an RC4 file, which qpdf stores in
# PDFDocEncoding: the header carries the bytes that opened it, the same as
# the raw PDFDocEncoding bytes give.
qpdf --allow-weak-crypto --encrypt "pässwörd" owner 128 --use-aes=n -- \
  "$fixtures/plain.pdf" "$tmp/rc4_umlauts.pdf"
pw_typed=$(python3 - "$pagewire" "$tmp/typed.prn" "$tmp/rc4_umlauts.pdf" 2>"$tmp/typed.err" <<'PY'
import os, pty, select, sys, termios, time
pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[1], [sys.argv[1], "--output", sys.argv[2], sys.argv[3]])
deadline, said = time.time() + 20, b""
def read_some():  # False once the terminal has nothing more to say
    global said
    if select.select([fd], [], [], 0.1)[0]:
        try:
            chunk = os.read(fd, 1024)
        except OSError:
            return False
        if not chunk:
            return False
        said += chunk
    return True
while b"Password for" not in said and time.time() < deadline and read_some():
    pass
# Typed once the prompt has turned echo off, as a person would.
while termios.tcgetattr(fd)[3] & termios.ECHO and time.time() < deadline:
    time.sleep(0.02)
os.write(fd, "pässwörd\n".encode())
while time.time() < deadline and read_some():
    pass
if time.time() >= deadline:
    os.kill(pid, 9)
print(os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]))
sys.stderr.write(said.decode(errors="replace"))
PY
)
[ "$pw_typed" = 0 ] ||
  fail "pässwörd typed at a terminal: exit $pw_typed: $(cat "$tmp/typed.err")"
[ -s "$tmp/typed.prn" ] || fail "pässwörd typed at a terminal wrote no job"
printf 'p\xe4ssw\xf6rd\n' >"$tmp/pw_pdfdoc"
expect 0 --password-file "$tmp/pw_pdfdoc" --output "$tmp/pdfdoc.prn" "$tmp/rc4_umlauts.pdf"
pw_typed_epwd=$(grep -ao '@EPWD=[0-9a-f]*' "$tmp/typed.prn")
pw_pdfdoc_epwd=$(grep -ao '@EPWD=[0-9a-f]*' "$tmp/pdfdoc.prn")
[ -n "$pw_typed_epwd" ] && [ "$pw_typed_epwd" = "$pw_pdfdoc_epwd" ] ||
  fail "the typed password's EPWD is not the PDFDocEncoding bytes'"

# Plain ipp:// to another host: refused before a connection, naming ipps://.
pw_started=$(date +%s)
expect 2 --password-file "$tmp/pw_long" -d ipp://203.0.113.1/ipp/print "$tmp/aes256_long.pdf"
holds "$err" "plain ipp:// refusal" "ipps://" "--allow-plain-password"
[ $(($(date +%s) - pw_started)) -lt 5 ] || fail "plain ipp:// was refused only after connecting"
# This machine's outward address is another host to the rule; the option
# lets the password through.
pw_outward=$(hostname -I 2>/dev/null | tr ' ' '\n' | grep -m1 -E '^[0-9.]+$' | grep -v '^127\.')
if [ -n "$pw_outward" ]; then
  pw_uri="ipp://$pw_outward:${pw_port%%/*}/ipp/print"
  expect 2 --password-file "$tmp/pw_long" -d "$pw_uri" "$tmp/aes256_long.pdf"
  expect 0 --allow-plain-password --password-file "$tmp/pw_long" -d "$pw_uri" "$tmp/aes256_long.pdf"
else
  echo "no outward address: --allow-plain-password is not tried"
fi
