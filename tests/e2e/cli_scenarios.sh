# The Linux pagewire command of the native build, on the rig's CUPS queue and
# loopback printer, and against pagewire.exe's own output file. Sourced by
# run_e2e.sh after the job dialog scenarios.
# shellcheck shell=bash

CLI_BIN=${PAGEWIRE_CLI:-$RIG_SOURCE_DIR/build/src/cli/pagewire}

# cli ARGS...: the command with a settings folder of its own.
cli() { LOGNAME=$USER XDG_CONFIG_HOME=$RIG_DIR/cli-config timeout -k 5 60 "$CLI_BIN" "$@"; }

# cli_expect_status WANT ARGS...: runs the command; its status must be WANT.
cli_expect_status() {
  local want=$1 rc; shift
  cli "$@" </dev/null 2>>"$RIG_DIR/cli.log"
  rc=$?
  [ "$rc" -eq "$want" ] || { fail "pagewire $* gave status $rc, not $want"; return 1; }
}

scenario_cli_output_has_the_bytes_of_shift_print() {
  [ -x "$CLI_BIN" ] || { fail "missing $CLI_BIN: build the native tree first"; return 1; }
  app_reg delete "$JOB_SETTINGS_KEY" /f
  local exe_prn=$APP_FILES/exe.prn cli_prn=$RIG_DIR/cli.prn
  rm -f "$exe_prn"
  app_open_main || return 1
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/plain.pdf")" &&
    drive shift-click "$APP_MAIN" $IDC_PRINT || return 1
  drive wait-window "Save As" 20000 || { fail "no Save As dialog"; return 1; }
  drive set-text "Save As" $SAVE_AS_NAME "$(win_path "$exe_prn")" && drive press "Save As" $IDOK || return 1
  job_wait "$JOB_SETTINGS" || return 1
  drive set-text "$JOB_SETTINGS" $IDC_COPIES 3 && drive click "$JOB_SETTINGS" $IDC_COLLATED &&
    drive click "$JOB_SETTINGS" $IDC_SELECT_PAGES && drive set-text "$JOB_SETTINGS" $IDC_FROM_PAGE 2 &&
    drive set-text "$JOB_SETTINGS" $IDC_TO_PAGE 5 && drive select "$JOB_SETTINGS" $IDC_DUPLEX 2 &&
    drive select "$JOB_SETTINGS" $IDC_OUTPUT_COLOR 1 && drive select "$JOB_SETTINGS" $IDC_PRINT_MODE 2 &&
    drive select "$JOB_SETTINGS" $IDC_LAYOUT 3 && drive press "$JOB_SETTINGS" $IDOK || return 1
  # The file is complete once it ends with the PDF.
  local deadline=$((SECONDS + RIG_JOB_TIMEOUT)) size; size=$(stat -c %s "$APP_FILES/plain.pdf")
  until [ -f "$exe_prn" ] && cmp -s <(tail -c "$size" "$exe_prn") "$APP_FILES/plain.pdf"; do
    [ $SECONDS -ge $deadline ] && { fail "exe.prn did not end with the PDF"; return 1; }
    sleep 0.2
  done
  app_close_main
  cli_expect_status 0 --output "$cli_prn" -n 3 -o collate=true -P 2-5 -o sides=two-sided-short-edge \
    -o print-color-mode=monochrome -o print-quality=high -o layout=2up "$APP_FILES/plain.pdf" || return 1
  local timeless='/^@PJL COMMENT (DATE|TIME)=/d'
  diff <(sed -E "$timeless" "$exe_prn") <(sed -E "$timeless" "$cli_prn") >&2 ||
    { fail "pagewire --output differs from pagewire.exe's .prn"; return 1; }
}

scenario_cli_prints_to_cups_and_socket_with_password_and_statuses() {
  local before; before=$(job_count)
  local socket=socket://127.0.0.1:$RIG_PRINTER_PORT said queued id
  # The default CUPS queue, held while its job is looked at: the job takes
  # the -t name, and its request id is told as lp tells it.
  cupsdisable -h "$CUPS_SERVER" RawOne || return 1
  said=$(LPDEST=RawOne cli -t "Board pack" "$APP_FILES/plain.pdf" </dev/null 2>>"$RIG_DIR/cli.log")
  queued=$(lpq -h "$CUPS_SERVER" -P RawOne)
  cupsenable -h "$CUPS_SERVER" RawOne || return 1
  [[ $said =~ ^request\ id\ is\ RawOne-([0-9]+)\ \(1\ file\(s\)\)$ ]] ||
    { fail "the default queue's job was told as: $said"; return 1; }
  id=${BASH_REMATCH[1]}
  awk -v id="$id" '$3 == id' <<<"$queued" | grep -q ' Board pack ' ||
    { fail "job $id is not named by -t: $queued"; return 1; }
  app_expect_job $((before + 1)) "$APP_FILES/plain.pdf" "$APP_EXPECTED/plain_pdf.header" || return 1
  # A raw socket with the password from standard input; no request id.
  said=$(echo "$JOB_USER_PASSWORD" | cli --password-stdin -d "$socket" "$APP_FILES/secret.pdf") &&
    [ -z "$said" ] || { fail "the socket job failed or told: $said"; return 1; }
  job_password_header FK
  job_expect_password $((before + 2)) FK "$JOB_FIXED_KEY" "$JOB_USER_PASSWORD" || return 1
  # AES-256 with a cross-reference stream: its bytes unchanged after the header.
  echo "$JOB_AES_USER_PASSWORD" | cli --password-stdin -d "$socket" "$APP_FILES/aes.pdf" || return 1
  job_password_header FK "$APP_FILES/aes.pdf"
  job_expect_password $((before + 3)) FK "$JOB_FIXED_KEY" "$JOB_AES_USER_PASSWORD" || return 1
  # Not sent: a wrong password, a folder with a Quillora file; the folder's
  # other files still go, PDFs first.
  echo wrong | cli --password-stdin -d "$socket" "$APP_FILES/secret.pdf" 2>>"$RIG_DIR/cli.log"
  [ $? -eq 1 ] || { fail "a wrong password did not give status 1"; return 1; }
  mkdir -p "$RIG_DIR/mixed" && cp "$APP_FILES/batch/a.pdf" "$APP_FILES/SCAN.TIF" "$RIG_DIR/mixed/" &&
    echo q >"$RIG_DIR/mixed/c.qlr" || return 1
  cli_expect_status 1 -d "$socket" "$RIG_DIR/mixed" || return 1
  app_expect_job $((before + 4)) "$APP_FILES/batch/a.pdf" "$APP_EXPECTED/folder_a_pdf.header" || return 1
  app_expect_job $((before + 5)) "$APP_FILES/SCAN.TIF" || return 1
  # A usage error and a destination that refuses send nothing.
  cli_expect_status 2 -d "$socket" -P 1-2,4 "$APP_FILES/plain.pdf" || return 1
  cli_expect_status 3 -d socket://127.0.0.1:1 "$APP_FILES/plain.pdf" || return 1
  cli_expect_status 3 -d NoSuchQueue "$APP_FILES/plain.pdf" || return 1
  grep -qxF "pagewire: [$APP_FILES/plain.pdf] is not sent: NoSuchQueue did not take the job." \
    "$RIG_DIR/cli.log" || { fail "a queue that took no job was not named"; return 1; }
  # -h names the CUPS server, as lp's does: one that is not there takes nothing.
  cli_expect_status 3 -h 127.0.0.1:1 -d RawOne "$APP_FILES/plain.pdf" || return 1
  app_expect_no_job $((before + 5))
  # --wait follows the CUPS job until the queue has printed it.
  cli_expect_status 0 --wait=30 -d RawOne "$APP_FILES/plain.pdf" || return 1
  grep -qxF "pagewire: RawOne: plain.pdf: printed" "$RIG_DIR/cli.log" ||
    { fail "the CUPS job's end was not told"; return 1; }
  app_expect_job $((before + 6)) "$APP_FILES/plain.pdf" "$APP_EXPECTED/plain_pdf.header"
}

# cli_plain_header NAME: the header of the plain PDF as the command sends it
# for a file NAME (sed replacement text).
cli_plain_header() {
  sed -e "s/^@PJL COMMENT DNAME=.*/@PJL COMMENT DNAME=$1/" \
    -e "s/^@PJL COMMENT \(UNAME\|UID\)=.*/@PJL COMMENT \1=$USER/" \
    "$RIG_SOURCE_DIR/tests/e2e/expected/plain_pdf.header"
}

# A file name cannot add header lines, a PDF without an extension is known by
# its first bytes, standard input is the file "(stdin)", and a missing file is
# called missing.
scenario_cli_file_names_and_content_make_the_header() {
  [ -x "$CLI_BIN" ] || { fail "missing $CLI_BIN: build the native tree first"; return 1; }
  local dir=$RIG_DIR/cli-names pdf=$RIG_SOURCE_DIR/tests/pdf/fixtures/plain.pdf
  local e2e=$RIG_SOURCE_DIR/tests/e2e
  local injected=$dir/$'a\r\n@PJL SET COPIES=99\r\n\e%-12345X.pdf'
  rm -rf "$dir" && mkdir -p "$dir" && cp "$pdf" "$injected" && cp "$pdf" "$dir/download" || return 1
  cli_plain_header 'a??@PJL SET COPIES=99???%-12345X.pdf' >"$dir/injected.header"
  cli_expect_status 0 --output "$dir/injected.prn" "$injected" || return 1
  python3 "$e2e/check_job.py" "$dir/injected.prn" "$pdf" "$dir/injected.header" ||
    { fail "a file name changed the header's lines"; return 1; }
  cli_plain_header download >"$dir/download.header"
  cli --show-header "$dir/download" </dev/null >"$dir/download.shown" 2>"$dir/download.err" ||
    { fail "--show-header on a PDF without an extension failed"; return 1; }
  python3 "$e2e/check_job.py" "$dir/download.shown" /dev/null "$dir/download.header" ||
    { fail "a PDF without an extension did not get its header"; return 1; }
  grep -qxF "pagewire: [$dir/download] has no .pdf or .tif extension; its first bytes make it a PDF file." \
    "$dir/download.err" || { fail "the content check was not told: $(cat "$dir/download.err")"; return 1; }
  cli_plain_header '(stdin)' >"$dir/stdin.header"
  cli --output "$dir/stdin.prn" - <"$pdf" 2>"$dir/stdin.err" ||
    { fail "a PDF on standard input was not written: $(cat "$dir/stdin.err")"; return 1; }
  python3 "$e2e/check_job.py" "$dir/stdin.prn" "$pdf" "$dir/stdin.header" ||
    { fail "a PDF on standard input did not get its header and bytes"; return 1; }
  [ ! -s "$dir/stdin.err" ] || { fail "standard input was told of: $(cat "$dir/stdin.err")"; return 1; }
  cli --output "$dir/missing.prn" "$dir/missing.pdf" </dev/null 2>"$dir/missing.err"
  [ $? -eq 1 ] || { fail "a missing file did not give status 1"; return 1; }
  grep -qxF "pagewire: $dir/missing.pdf: No such file or directory" "$dir/missing.err" ||
    { fail "a missing file was told as: $(cat "$dir/missing.err")"; return 1; }
}

# A listener that takes one connection and never reads it, until killed; its
# port goes to the file $1.
CLI_STALLED_PRINTER='
import os, socket, sys, time
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(1)
with open(sys.argv[1] + ".new", "w") as f:
    f.write(str(server.getsockname()[1]))
os.rename(sys.argv[1] + ".new", sys.argv[1])
connection, _ = server.accept()
time.sleep(120)
'

scenario_cli_guards_inputs_home_questions_passwords_and_stalls() {
  local dir=$RIG_DIR/cli-guards fixtures=$RIG_SOURCE_DIR/tests/pdf/fixtures rc
  local socket=socket://127.0.0.1:$RIG_PRINTER_PORT log=$RIG_DIR/cli.log
  rm -rf "$dir" && mkdir -p "$dir/home" || return 1
  cp "$fixtures/plain.pdf" "$dir/same.pdf" && cp "$fixtures/r2_40_noprint.pdf" "$dir/noprint.pdf" &&
    cp "$fixtures/r3_128.pdf" "$dir/locked.pdf" || return 1
  # A fresh home, without a terminal: what a script or a new user meets.
  fresh() { env -u XDG_CONFIG_HOME HOME="$dir/home" LOGNAME=$USER timeout -k 5 60 "$CLI_BIN" "$@"; }

  # --output on its own input is refused before anything is written.
  fresh --output "$dir/same.pdf" "$dir/same.pdf" </dev/null 2>>"$log"; rc=$?
  [ $rc -eq 2 ] || { fail "--output on its input gave status $rc"; return 1; }
  cmp -s "$dir/same.pdf" "$fixtures/plain.pdf" || { fail "--output changed its input"; return 1; }

  # Commands that only read leave the home folder as it was.
  fresh --show-header "$dir/same.pdf" </dev/null >/dev/null 2>>"$log" &&
    fresh --output "$dir/plain.prn" "$dir/same.pdf" </dev/null 2>>"$log" ||
    { fail "a read-only run failed"; return 1; }
  [ -z "$(find "$dir/home" -mindepth 1)" ] || { fail "a read-only run wrote in \$HOME"; return 1; }

  # A PDF that forbids printing is sent only with --yes.
  local before; before=$(job_count)
  fresh -d "$socket" "$dir/noprint.pdf" </dev/null 2>>"$log"; rc=$?
  [ $rc -eq 1 ] || { fail "a forbidden PDF without --yes gave status $rc"; return 1; }
  fresh --yes -d "$socket" "$dir/noprint.pdf" </dev/null 2>>"$log" ||
    { fail "a forbidden PDF with --yes was not sent"; return 1; }
  wait_job $((before + 1)) || return 1
  local size; size=$(stat -c %s "$dir/noprint.pdf")
  cmp -s <(tail -c "$size" "$RIG_JOBS/job-$((before + 1)).bin") "$dir/noprint.pdf" &&
    [ "$(job_count)" -eq $((before + 1)) ] || { fail "not one job of the forbidden PDF"; return 1; }

  # An empty password is an error; a job with a password is its owner's only.
  echo "" | fresh --password-stdin --output "$dir/empty.prn" "$dir/locked.pdf" 2>>"$log"; rc=$?
  [ $rc -eq 1 ] && [ ! -e "$dir/empty.prn" ] ||
    { fail "an empty --password-stdin gave status $rc or left a file"; return 1; }
  echo "$JOB_USER_PASSWORD" | fresh --password-stdin --output "$dir/secret.prn" "$dir/locked.pdf" \
    2>>"$log" || { fail "the password job was not written"; return 1; }
  grep -aq '@EPWD=' "$dir/secret.prn" && [ "$(stat -c %a "$dir/secret.prn")" = 600 ] ||
    { fail "the password job is mode $(stat -c %a "$dir/secret.prn"), not 600"; return 1; }

  # A printer that takes no data: --timeout ends the job with status 3.
  head -c 8388608 /dev/urandom >"$dir/big.tif" || return 1
  python3 -c "$CLI_STALLED_PRINTER" "$dir/stalled.port" & local stalled=$!
  local _
  for _ in $(seq 100); do [ -f "$dir/stalled.port" ] && break; sleep 0.1; done
  fresh --timeout 5 -d "socket://127.0.0.1:$(cat "$dir/stalled.port")" "$dir/big.tif" \
    </dev/null 2>>"$log"; rc=$?
  kill "$stalled" 2>/dev/null; wait "$stalled" 2>/dev/null
  [ $rc -eq 3 ] || { fail "a stalled printer with --timeout 5 gave status $rc"; return 1; }
  grep -q 'has taken no data for' "$log" || { fail "the stall was not told"; return 1; }
}
