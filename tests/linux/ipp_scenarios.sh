#!/usr/bin/env bash
# The pagewire command on IPP printers and on a socket printer that tells job
# status: three ippeveprinter printers (cups-ipp-utils) on free ports with a
# private D-Bus system bus, and tests/e2e/loopback_printer.py. Every server
# is started and stopped here. Run by ctest:
#   ipp_scenarios.sh PAGEWIRE SOURCE_DIR
set -uo pipefail
pagewire=$1
source_dir=$2
. "$source_dir/tests/linux/scenario_lib.sh"

# A printer that takes every setting (but 4-up) and passwords.
cat >"$tmp/full.conf" <<'EOF'
ATTR mimeMediaType document-format-supported application/pdf,image/tiff
ATTR integer document-password-supported 1023
ATTR rangeOfInteger copies-supported 1-999
ATTR boolean page-ranges-supported true
ATTR keyword sides-supported one-sided,two-sided-long-edge,two-sided-short-edge
ATTR keyword media-supported iso_a4_210x297mm,na_letter_8.5x11in
ATTR collection media-size-supported {MEMBER integer x-dimension 21000 MEMBER integer y-dimension 29700}
ATTR keyword media-type-supported stationery,cardstock
ATTR keyword print-color-mode-supported auto,monochrome,color
ATTR enum print-quality-supported 3,4,5
ATTR keyword print-scaling-supported auto,none,fit
ATTR integer number-up-supported 1,2
EOF
grep -v document-password "$tmp/full.conf" >"$tmp/nopassword.conf"

start_printer full -a "$tmp/full.conf"
start_printer nopassword -a "$tmp/nopassword.conf"
start_printer raster -f image/pwg-raster
python3 "$source_dir/tests/e2e/loopback_printer.py" "$tmp/socket" "$tmp/socket.port" &
pids+=($!)
# Ready when they take connections.
for uri in "$uri_full" "$uri_nopassword" "$uri_raster"; do
  port=${uri#ipp://127.0.0.1:}
  port=${port%%/*}
  for _ in $(seq 100); do
    (: <>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && [ -s "$tmp/socket.port" ] && break
    sleep 0.2
  done
done

# Every setting: the PDF's bytes unchanged, the settings as job attributes.
expect 0 -d "$uri_full" -n 3 -o collate=true -P 2-5 -o sides=two-sided-short-edge \
  -o print-color-mode=monochrome -o print-quality=high -o layout=2up "$fixtures/plain.pdf"
holds "$out" "request id" "request id is print-1 (1 file(s))"
cmp -s "$(job full 1)" "$fixtures/plain.pdf" || fail "the PDF did not arrive byte for byte"
holds "$(job_env full 1)" "job 1's attributes" IPP_COPIES=3 \
  IPP_MULTIPLE_DOCUMENT_HANDLING=separate-documents-collated-copies IPP_PAGE_RANGES=2-5 \
  IPP_SIDES=two-sided-short-edge IPP_PRINT_COLOR_MODE=monochrome IPP_PRINT_QUALITY=high \
  IPP_NUMBER_UP=2 IPP_JOB_NAME=plain.pdf "IPP_JOB_ORIGINATING_USER_NAME=$LOGNAME" \
  CONTENT_TYPE=application/pdf
# No media was chosen: the printer's own stays.
if job_env full 1 | grep -qE '^IPP_MEDIA(_COL)?='; then fail "job 1 got a media nobody chose"; fi
# The other choices, over TLS, waited for; a legacy media name as the
# printer lists it, and nothing of what was not chosen.
expect 0 --wait -d "${uri_full/ipp:/ipps:}" -o "media-type=printer media=letter" -o layout=100 \
  -P 3- "$fixtures/plain.pdf"
holds "$err" "--wait" "plain.pdf: printed"
holds "$(job_env full 2)" "job 2's attributes" IPP_MEDIA=na_letter_8.5x11in \
  IPP_PRINT_SCALING=none IPP_PAGE_RANGES=3-2147483647
if job_env full 2 | grep -qE '^IPP_(COPIES|SIDES|PRINT_QUALITY)='; then
  fail "job 2 got settings nobody chose"
fi

# A protected PDF: its password as an operation attribute, which another
# user cannot read back.
echo user3 >"$tmp/password"
expect 0 --password-file "$tmp/password" -d "$uri_full" "$fixtures/r3_128.pdf"
cmp -s "$(job full 3)" "$fixtures/r3_128.pdf" || fail "the protected PDF did not arrive unchanged"
group=$(awk '/-attributes-tag$/ { group = $1 } /document-password \(octetString\) user3$/ { print group }' "$tmp/full.log")
[ "$group" = operation-attributes-tag ] || fail "document-password came in '$group'"
cat >"$tmp/get-job.test" <<'EOF'
{
  OPERATION Get-Job-Attributes
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR integer job-id 3
  ATTR name requesting-user-name intruder
  ATTR keyword requested-attributes all
  STATUS successful-ok
}
EOF
read_back=$(ipptool -tv "$uri_full" "$tmp/get-job.test" 2>&1)
holds "$read_back" "Get-Job-Attributes" "job-state" "job-name (nameWithoutLanguage) = r3_128.pdf"
if grep -qE 'document-password|user3' <<<"$read_back"; then fail "another user read the password back"; fi
expect 3 --password-file "$tmp/password" -d "$uri_nopassword" "$fixtures/r3_128.pdf"
holds "$err" "no password support" "takes no document-password"

# Refusals before a byte is sent.
expect 3 -d "$uri_raster" "$fixtures/plain.pdf"
holds "$err" "the format refusal" "does not take application/pdf"
expect 2 -d "$uri_full" -o layout=4up "$fixtures/plain.pdf"
holds "$err" "the setting refusal" "number-up=4 is not supported; the printer offers number-up=1,2"
expect 2 -d "$uri_full" -o layout=booklet "$fixtures/plain.pdf"
holds "$err" "the booklet refusal" "booklet"
[ -z "$(find "$tmp/raster" "$tmp/nopassword" -type f)" ] && [ -z "$(job full 4)" ] || fail "a refused file was sent"

# --wait: a job that the printer aborts, a socket printer's END and CANCELED.
cp "$fixtures/plain.pdf" "$tmp/fail.pdf"
expect 1 --wait=20 -d "$uri_full" "$tmp/fail.pdf"
holds "$err" "the aborted job" "fail.pdf: not printed: aborted"
socket=socket://127.0.0.1:$(cat "$tmp/socket.port")
expect 0 --wait=20 -d "$socket" "$fixtures/plain.pdf"
cp "$fixtures/plain.pdf" "$tmp/cancel-me.pdf"
expect 1 --wait=20 -d "$socket" "$tmp/cancel-me.pdf"
holds "$err" "the cancelled job" "CANCELED (RESULT=USER_CANCELED)"
sleep 0.5
holds "$(head -c 80 "$tmp/socket/job-1.bin")" "the socket job's start" $'\e%-12345X@PJL\r\n@PJL USTATUS JOB = ON\r\n@PJL JOB NAME = "[Pagewire]plain.pdf"'
holds "$(tail -c 60 "$tmp/socket/job-1.bin")" "the socket job's end" '@PJL EOJ NAME = "[Pagewire]plain.pdf"'

[ "$failures" -eq 0 ] && echo "all IPP scenarios passed"
[ "$failures" -eq 0 ]
