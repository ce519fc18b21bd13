# pagewire.exe scenarios, sourced by run_e2e.sh after rig.sh. Each function
# named scenario_* is one scenario; helpers start with app_.
# shellcheck shell=bash

APP_KEY='HKLM\SOFTWARE\WOW6432Node\Orvelle\Pagewire\ShowDragDlg'
APP_CONFIRM="Print Settings Confirmation"
APP_MAIN="Pagewire"
APP_EXPECTED=$here/expected
# Control ids of resource.h.
IDOK=1 IDCANCEL=2
IDC_FILE_EDIT=1000 IDC_BROWSE=1001 IDC_OPEN_FILE=1002 IDC_PRINTERS=1003 IDC_PORT=1004
IDC_PRINT=1005 IDC_ABOUT=1006
IDC_CONFIRM_FILE_NAME=1010 IDC_CONFIRM_PRINTER_NAME=1011 IDC_CONFIRM_SKIP=1012
IDC_CONFIRM_PRINT_SETTINGS=1013
# The file name box of the explorer-style Save As dialog (cmb13).
SAVE_AS_NAME=1148
# Printers beside the CUPS queues, added on other ports (see app_rig_setup).
APP_FILE_QUEUE=ToFile APP_LOWER_FILE_QUEUE=ToLowerFile APP_NET_QUEUE=NetQueue
APP_NET_PORT=IP_192.0.2.7
# A printer whose name has a space, for the Quillora print-to command line.
APP_SPACED_QUEUE="Office A" APP_SPACED_PORT=IP_10.0.0.7
APP_PRINTERS_KEY='HKLM\System\CurrentControlSet\Control\Print\Printers'
APP_TCPIP_PORTS_KEY='HKLM\System\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port\Ports'
VK_RETURN=13 VK_ESCAPE=27
# Seconds to wait before deciding that no job came.
APP_NO_JOB_WAIT=3

# A fixed user name for the job headers. Wine takes the profile folder from
# it, so it is set before the prefix is made: the file choosers need that
# profile's Desktop.
export USER=alice

# app_rig_setup: sample files and the default printer.
app_rig_setup() {
  APP_FILES=$RIG_DIR/files
  mkdir -p "$APP_FILES/folder" "$APP_FILES/My Docs"
  cp "$RIG_SOURCE_DIR/tests/pdf/fixtures/plain.pdf" "$APP_FILES/plain.pdf"
  cp "$RIG_SOURCE_DIR/tests/pdf/fixtures/plain.pdf" "$APP_FILES/My Docs/Long Report Name.pdf"
  # A small TIFF header and body; the printer, not we, reads TIFF.
  python3 -c 'import sys; sys.stdout.buffer.write(b"II*\x00\x08\x00\x00\x00" + bytes(range(256)) * 8)' \
    >"$APP_FILES/SCAN.TIF"
  cp "$APP_FILES/plain.pdf" "$APP_FILES/folder/a.pdf"
  cp "$APP_FILES/SCAN.TIF" "$APP_FILES/folder/b.tif"
  lpadmin -h "$CUPS_SERVER" -d RawOne >>"$RIG_DIR/lpadmin.log" 2>&1 || return 1
  # Wine lists only CUPS queues (port "CUPS:NAME"); these printers show the
  # "FILE:" rule, its letter case, and a Standard TCP/IP port name.
  wine_run "$RIG_PROBE" add-printer "$APP_FILE_QUEUE" FILE: RawOne || return 1
  wine_run "$RIG_PROBE" add-printer "$APP_LOWER_FILE_QUEUE" file: RawOne || return 1
  wine_run "$RIG_PROBE" add-printer "$APP_NET_QUEUE" "$APP_NET_PORT" RawOne || return 1
  wine_run "$RIG_PROBE" add-printer "$APP_SPACED_QUEUE" "$APP_SPACED_PORT" RawOne || return 1
  # A Quillora document; the printer never sees it unless no application takes it.
  printf 'QLR1 a Quillora document\r\n' >"$APP_FILES/DOC.QLR"
  # The programs the shell starts write their command lines here.
  APP_RECORDED=$RIG_DIR/recorded-args.txt
  export RECORD_ARGS_FILE
  RECORD_ARGS_FILE=$(win_path "$APP_RECORDED")
  export LPDEST=RawOne
}

# app_start_direct TAIL: starts pagewire.exe with exactly TAIL as its
# command-line tail (through the driver, so quotes arrive unescaped).
app_start_direct() { start_app "$RIG_DRIVER" run "$(win_path "$RIG_APP")" "$1"; }
app_run_direct() { wine_run "$RIG_DRIVER" run "$(win_path "$RIG_APP")" "$1"; }

app_reg() { timeout -k 5 60 "$PAGEWIRE_WINE" reg "$@" </dev/null >/dev/null 2>&1; }
app_key_present() { app_reg query "$APP_KEY"; }
app_set_key() { app_reg add "$APP_KEY" /f; }
app_clear_key() { app_reg delete "$APP_KEY" /f; app_key_present && return 1; return 0; }

# app_expect_job N FILE [HEADER]: job N is FILE, or HEADER then FILE.
app_expect_job() {
  wait_job "$1" || return 1
  python3 "$here/check_job.py" "$RIG_JOBS/job-$1.bin" "$2" ${3:+"$3"}
}

# app_expect_no_job BEFORE: no job beyond BEFORE arrives.
app_expect_no_job() {
  sleep "$APP_NO_JOB_WAIT"
  [ "$(job_count)" -eq "$1" ] || fail "an unexpected job arrived"
}

# app_select_printer NAME: chooses NAME in the main dialog's Printers list.
app_select_printer() {
  local index
  index=$(drive list-combo "$APP_MAIN" $IDC_PRINTERS | cut -c3- | grep -nx "$1" | cut -d: -f1)
  [ -n "$index" ] || { fail "printer $1 is not listed"; return 1; }
  drive select "$APP_MAIN" $IDC_PRINTERS $((index - 1))
}

# app_wait_confirm: waits for the confirmation dialog of a direct launch.
app_wait_confirm() {
  drive wait-window "$APP_CONFIRM" 20000 || { fail "no confirmation dialog"; return 1; }
}

# app_expect_message TEXT: a message box of the program appears and says TEXT.
app_expect_message() {
  drive wait-window pagewire 20000 || { fail "no message box"; return 1; }
  local text; text=$(drive msgbox-text pagewire)
  [ "$text" = "$1" ] || { fail "message was '$text', not '$1'"; return 1; }
}

# app_answer_dialog CAPTION: the dialog appears and is answered with OK.
app_answer_dialog() {
  drive wait-window "$1" 20000 || { fail "no \"$1\" dialog"; return 1; }
  drive press "$1" $IDOK && drive wait-gone "$1" 10000
}

app_expect_text() {  # CAPTION ID EXPECTED
  local got; got=$(drive get-text "$1" "$2")
  [ "$got" = "$3" ] || fail "control $2 of '$1' reads '$got', not '$3'"
}

# --- direct mode -------------------------------------------------------------

scenario_app_direct_with_key_prints_at_once() {
  app_set_key || return 1
  local before; before=$(job_count)
  app_run_direct "$(win_path "$APP_FILES/plain.pdf")" || fail "pagewire.exe failed"
  app_expect_job $((before + 1)) "$APP_FILES/plain.pdf" "$APP_EXPECTED/plain_pdf.header" || return 1
  app_key_present || fail "the ShowDragDlg key went away"
}

scenario_app_direct_confirm_ok_quoted_long_name() {
  app_clear_key || return 1
  local before; before=$(job_count)
  app_start_direct "\"$(win_path "$APP_FILES/My Docs/Long Report Name.pdf")\""
  app_wait_confirm || return 1
  screenshot confirm-pdf
  app_expect_text "$APP_CONFIRM" $IDC_CONFIRM_FILE_NAME "Long Report Name.pdf" || return 1
  app_expect_text "$APP_CONFIRM" $IDC_CONFIRM_PRINTER_NAME "RawOne" || return 1
  drive is-enabled "$APP_CONFIRM" $IDC_CONFIRM_PRINT_SETTINGS || fail "Print Settings is off for a PDF"
  drive is-enabled "$APP_CONFIRM" $IDC_CONFIRM_SKIP || fail "the skip box is off"
  drive click "$APP_CONFIRM" $IDOK || return 1
  wait_app || fail "pagewire.exe failed"
  app_expect_job $((before + 1)) "$APP_FILES/My Docs/Long Report Name.pdf" \
    "$APP_EXPECTED/long_report_pdf.header" || return 1
  app_key_present && fail "OK without the skip box left the key"
  return 0
}

scenario_app_direct_cancel_with_skip_box_prints_nothing() {
  app_clear_key || return 1
  local before; before=$(job_count)
  app_start_direct "$(win_path "$APP_FILES/plain.pdf")"
  app_wait_confirm || return 1
  drive click "$APP_CONFIRM" $IDC_CONFIRM_SKIP || return 1
  drive is-checked "$APP_CONFIRM" $IDC_CONFIRM_SKIP || fail "the skip box did not tick"
  drive click "$APP_CONFIRM" $IDCANCEL || return 1
  wait_app
  app_expect_no_job "$before" || return 1
  app_key_present && fail "Cancel left the key"
  return 0
}

scenario_app_direct_print_settings_with_skip_box_keeps_key() {
  app_clear_key || return 1
  local before; before=$(job_count)
  app_start_direct "$(win_path "$APP_FILES/plain.pdf")"
  app_wait_confirm || return 1
  drive click "$APP_CONFIRM" $IDC_CONFIRM_SKIP || return 1
  drive click "$APP_CONFIRM" $IDC_CONFIRM_PRINT_SETTINGS || return 1
  app_answer_dialog "PDF File Print" || return 1
  wait_app || fail "pagewire.exe failed"
  app_expect_job $((before + 1)) "$APP_FILES/plain.pdf" "$APP_EXPECTED/plain_pdf.header" || return 1
  app_key_present || { fail "the ticked box did not keep the key"; return 1; }
  # The next direct launch asks nothing.
  app_run_direct "$(win_path "$APP_FILES/plain.pdf")" || fail "second launch failed"
  app_expect_job $((before + 2)) "$APP_FILES/plain.pdf" "$APP_EXPECTED/plain_pdf.header"
}

scenario_app_direct_tiff_has_no_print_settings() {
  app_clear_key || return 1
  local before; before=$(job_count)
  app_start_direct "$(win_path "$APP_FILES/SCAN.TIF")"
  app_wait_confirm || return 1
  app_expect_text "$APP_CONFIRM" $IDC_CONFIRM_FILE_NAME "SCAN.TIF" || return 1
  drive is-enabled "$APP_CONFIRM" $IDC_CONFIRM_PRINT_SETTINGS && fail "Print Settings is on for a TIFF"
  drive click "$APP_CONFIRM" $IDOK || return 1
  wait_app || fail "pagewire.exe failed"
  app_expect_job $((before + 1)) "$APP_FILES/SCAN.TIF"
}

scenario_app_direct_missing_file_is_reported() {
  app_clear_key || return 1
  app_start_direct "\"$(win_path "$APP_FILES/none.pdf")"
  app_expect_message "The file path cannot be obtained." || return 1
  drive press pagewire $IDOK
  app_wait_confirm || return 1
  app_expect_text "$APP_CONFIRM" $IDC_CONFIRM_FILE_NAME "\"$(win_path "$APP_FILES/none.pdf")" || return 1
  drive click "$APP_CONFIRM" $IDCANCEL
  wait_app
}

# --- the main dialog -----------------------------------------------------------

# app_open_main: starts the main dialog and waits for it.
app_open_main() {
  start_app "$RIG_APP"
  drive wait-window "$APP_MAIN" 20000 || { fail "no main dialog"; return 1; }
}

app_close_main() {
  drive click "$APP_MAIN" $IDOK
  wait_app || fail "pagewire.exe did not end cleanly"
}

scenario_app_main_printer_list_port_and_key() {
  app_set_key || return 1
  app_open_main || return 1
  screenshot main-dialog
  # list-combo marks the selection with "* " and indents the rest by two.
  local list; list=$(drive list-combo "$APP_MAIN" $IDC_PRINTERS | cut -c3-)
  local sorted; sorted=$(printf '%s\n' "$list" | LC_ALL=C sort)
  [ "$list" = "$sorted" ] || fail "printer list not sorted: $list"
  printf '%s\n' "$list" | grep -qx RawTwo || fail "RawTwo missing from: $list"
  app_expect_text "$APP_MAIN" $IDC_PRINTERS "RawOne" || return 1
  app_expect_text "$APP_MAIN" $IDC_PORT "CUPS:RawOne" || return 1
  drive is-enabled "$APP_MAIN" $IDC_PRINT || fail "Print is off"
  drive is-enabled "$APP_MAIN" $IDC_OPEN_FILE && fail "Open File is on with no file"
  app_select_printer RawTwo || return 1
  app_expect_text "$APP_MAIN" $IDC_PORT "CUPS:RawTwo" || return 1
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT 'x' || return 1
  drive is-enabled "$APP_MAIN" $IDC_OPEN_FILE || fail "Open File is off with a file"
  app_close_main || return 1
  app_key_present && fail "the main dialog did not delete the key"
  return 0
}

scenario_app_main_prints_typed_pdf_tiff_and_folder() {
  app_open_main || return 1
  local before; before=$(job_count)
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/plain.pdf")" || return 1
  drive click "$APP_MAIN" $IDC_PRINT || return 1
  app_answer_dialog "PDF File Print" || return 1
  app_expect_job $((before + 1)) "$APP_FILES/plain.pdf" "$APP_EXPECTED/plain_pdf.header" || return 1
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/SCAN.TIF")" || return 1
  drive click "$APP_MAIN" $IDC_PRINT || return 1
  app_expect_job $((before + 2)) "$APP_FILES/SCAN.TIF" || return 1
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/folder")" || return 1
  drive click "$APP_MAIN" $IDC_PRINT || return 1
  # Each file is confirmed; the PDF also has its settings.
  app_answer_dialog Confirmation && app_answer_dialog "PDF File Print" &&
    app_answer_dialog Confirmation || return 1
  # PDF files first, then TIFF files.
  app_expect_job $((before + 3)) "$APP_FILES/folder/a.pdf" "$APP_EXPECTED/folder_a_pdf.header" || return 1
  app_expect_job $((before + 4)) "$APP_FILES/folder/b.tif" || return 1
  app_close_main
}

scenario_app_main_shift_print_writes_prn_file() {
  app_open_main || return 1
  local before; before=$(job_count)
  local out=$APP_FILES/out.prn
  rm -f "$out"
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/SCAN.TIF")" || return 1
  drive shift-click "$APP_MAIN" $IDC_PRINT || return 1
  drive wait-window "Save As" 20000 || { fail "no Save As dialog"; return 1; }
  screenshot save-as
  drive set-text "Save As" $SAVE_AS_NAME "$(win_path "$out")" || { fail "no file name box"; return 1; }
  drive press "Save As" $IDOK || return 1
  local deadline=$((SECONDS + RIG_JOB_TIMEOUT))
  until [ -f "$out" ] && cmp -s "$out" "$APP_FILES/SCAN.TIF"; do
    [ $SECONDS -ge $deadline ] && { fail "out.prn is not the TIFF's bytes"; return 1; }
    sleep 0.2
  done
  # A plain click prints to the printer again.
  drive click "$APP_MAIN" $IDC_PRINT || return 1
  app_expect_job $((before + 1)) "$APP_FILES/SCAN.TIF" || return 1
  app_close_main
}

scenario_app_main_about_and_system_menu() {
  app_open_main || return 1
  drive click "$APP_MAIN" $IDC_ABOUT || return 1
  drive wait-window About 10000 || { fail "no About box"; return 1; }
  # Without a window manager, a box opened over its owner's spot is not
  # drawn on the Xvfb screen; moved aside, it is.
  [ -n "${RIG_SHOTS:-}" ] && drive move About 500 420
  screenshot about
  drive click About $IDOK; drive wait-gone About 10000 || fail "About stayed"
  drive syscommand "$APP_MAIN" 16 || return 1
  drive wait-window About 10000 || { fail "no About box from the system menu"; return 1; }
  drive click About $IDOK; drive wait-gone About 10000
  app_close_main
}

scenario_app_main_open_file_without_application() {
  app_open_main || return 1
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/SCAN.TIF").none" || return 1
  drive click "$APP_MAIN" $IDC_OPEN_FILE || return 1
  app_expect_message "There is no available application program." || return 1
  drive press pagewire $IDOK
  app_close_main
}

scenario_app_main_file_port_disables_print() {
  app_open_main || return 1
  app_select_printer "$APP_FILE_QUEUE" || return 1
  app_expect_text "$APP_MAIN" $IDC_PORT "FILE:" || return 1
  drive is-enabled "$APP_MAIN" $IDC_PRINT && { fail "Print is on for FILE:"; return 1; }
  screenshot main-file-port
  # Only the exact spelling disables printing.
  app_select_printer "$APP_LOWER_FILE_QUEUE" || return 1
  app_expect_text "$APP_MAIN" $IDC_PORT "file:" || return 1
  drive is-enabled "$APP_MAIN" $IDC_PRINT || { fail "Print is off for file:"; return 1; }
  app_select_printer "$APP_FILE_QUEUE" || return 1
  app_select_printer RawOne || return 1
  drive is-enabled "$APP_MAIN" $IDC_PRINT || { fail "Print stayed off"; return 1; }
  app_close_main
}

# app_set_port PRINTER PORT: rewrites the port the spooler reports.
app_set_port() { app_reg add "$APP_PRINTERS_KEY\\$1" /v Port /d "$2" /f; }

scenario_app_main_devices_change_shows_new_port() {
  app_open_main || return 1
  app_select_printer "$APP_FILE_QUEUE" || return 1
  app_set_port "$APP_FILE_QUEUE" LPT1: || return 1
  # Another section leaves the port as it was; "devices" in any case reads it again.
  drive setting-change "$APP_MAIN" windows || return 1
  app_expect_text "$APP_MAIN" $IDC_PORT "FILE:" || { app_set_port "$APP_FILE_QUEUE" FILE:; return 1; }
  drive setting-change "$APP_MAIN" DEVICES || return 1
  local rc=0
  app_expect_text "$APP_MAIN" $IDC_PORT "LPT1:" || rc=1
  drive is-enabled "$APP_MAIN" $IDC_PRINT || { fail "Print is off for LPT1:"; rc=1; }
  app_set_port "$APP_FILE_QUEUE" FILE: || rc=1
  app_close_main || rc=1
  return $rc
}

scenario_app_main_dropped_files_fill_the_file_field() {
  app_open_main || return 1
  drive drop-files "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/plain.pdf")" \
    "$(win_path "$APP_FILES/folder")" "$(win_path "$APP_FILES/SCAN.TIF")" || return 1
  local deadline=$((SECONDS + 10))
  until [ "$(drive get-text "$APP_MAIN" $IDC_FILE_EDIT)" = "$(win_path "$APP_FILES/SCAN.TIF")" ]; do
    [ $SECONDS -ge $deadline ] && { fail "the last dropped path is not in the File field"; return 1; }
    sleep 0.2
  done
  drive is-enabled "$APP_MAIN" $IDC_OPEN_FILE || fail "Open File is off after a drop"
  # Only the File field takes drops.
  drive drop-files "$APP_MAIN" $IDC_PORT "$(win_path "$APP_FILES/plain.pdf")" || return 1
  sleep 1
  app_expect_text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/SCAN.TIF")" || return 1
  app_expect_text "$APP_MAIN" $IDC_PORT "CUPS:RawOne" || return 1
  # The dropped path prints like a typed one.
  local before; before=$(job_count)
  drive click "$APP_MAIN" $IDC_PRINT || return 1
  app_expect_job $((before + 1)) "$APP_FILES/SCAN.TIF" || return 1
  app_close_main
}

scenario_app_main_tooltips() {
  app_open_main || return 1
  # Open File has a tip only while it is enabled, which takes a file name.
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT 'x' || return 1
  local id text got rc=0
  while IFS='|' read -r id text; do
    got=$(drive hover "$APP_MAIN" "$id")
    [ "$got" = "$text" ] || { fail "control $id shows tip '$got', not '$text'"; rc=1; }
  done <<TIPS
$IDC_BROWSE|Click this button to select the file for printing.
$IDC_FILE_EDIT|Click this button to select the file for printing.
$IDC_OPEN_FILE|Click this button to open the selected file from the application program.
$IDC_PRINTERS|Select the printer from the drop-down list.
$IDC_PORT|Displays the port set for the selected printer.
$IDC_PRINT|Click to print the file. The PDF dialog box will be displayed for PDF files.
$IDC_ABOUT|Click this button for the version of the utility program.
$IDOK|Click this button to exit from the utility program.
TIPS
  screenshot main-tooltip
  app_close_main || rc=1
  return $rc
}

scenario_app_main_minimise_and_restore() {
  app_open_main || return 1
  drive minimise "$APP_MAIN" || return 1
  sleep 1
  drive is-iconic "$APP_MAIN" || { fail "the dialog did not minimise"; return 1; }
  screenshot main-minimised
  drive restore "$APP_MAIN" || return 1
  sleep 1
  drive is-iconic "$APP_MAIN" && { fail "the dialog stayed minimised"; return 1; }
  app_close_main
}

scenario_app_main_enter_and_escape_end_the_program() {
  local key
  for key in $VK_RETURN $VK_ESCAPE; do
    app_open_main || return 1
    drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/plain.pdf")" || return 1
    drive key "$APP_MAIN" $IDC_FILE_EDIT "$key" || return 1
    wait_app || { fail "key $key did not end pagewire.exe cleanly"; return 1; }
  done
  return 0
}

# --- port address ------------------------------------------------------------

# app_port_entry IPADDRESS HOSTNAME: the Standard TCP/IP entry of APP_NET_PORT;
# "-" leaves a value out, "none" removes the whole entry.
app_port_entry() {
  local key="$APP_TCPIP_PORTS_KEY\\$APP_NET_PORT"
  app_reg delete "$key" /f
  [ "$1" = none ] && return 0
  app_reg add "$key" /f || return 1
  if [ "$1" != - ]; then app_reg add "$key" /v IPAddress /d "$1" /f || return 1; fi
  if [ "$2" != - ]; then app_reg add "$key" /v HostName /d "$2" /f || return 1; fi
}

scenario_port_address_of_standard_tcpip_ports() {
  local ip host printer expected got rc=0
  while read -r ip host printer expected; do
    [ "$ip" = '""' ] && ip=""
    [ "$host" = '""' ] && host=""
    app_port_entry "$ip" "$host" || return 1
    got=$(wine_query "$RIG_PORT_PROBE" "$printer")
    [ "$got" = "$expected" ] ||
      { fail "HasPortAddress($printer) with IPAddress '$ip', HostName '$host' is $got"; rc=1; }
  done <<CASES
none - $APP_NET_QUEUE no
- - $APP_NET_QUEUE no
"" - $APP_NET_QUEUE no
"" printer.example $APP_NET_QUEUE yes
192.0.2.7 - $APP_NET_QUEUE yes
192.0.2.7 "" $APP_NET_QUEUE yes
"" "" $APP_NET_QUEUE no
- printer.example $APP_NET_QUEUE yes
192.0.2.7 printer.example $APP_FILE_QUEUE no
192.0.2.7 printer.example NoSuchPrinter no
CASES
  app_port_entry none -
  return $rc
}

# --- Quillora files and the shell --------------------------------------------

# app_associate_qlr: .qlr files open (and print) with record_args.exe.
app_associate_qlr() {
  local app; app=$(win_path "$RIG_RECORD_ARGS")
  app_reg add 'HKCR\.qlr' /ve /d Pagewire.QlrFile /f || return 1
  app_reg add 'HKCR\Pagewire.QlrFile\shell\open\command' /ve /d "\"$app\" \"%1\"" /f || return 1
  app_reg add 'HKCR\Pagewire.QlrFile\shell\print\command' /ve /d "\"$app\" /print \"%1\"" /f
}
app_dissociate_qlr() { app_reg delete 'HKCR\.qlr' /f; app_reg delete 'HKCR\Pagewire.QlrFile' /f; true; }

# app_recorded: waits for the started program; prints what it recorded.
app_recorded() {
  local deadline=$((SECONDS + RIG_JOB_TIMEOUT))
  until [ -s "$APP_RECORDED" ]; do
    [ $SECONDS -ge $deadline ] && { fail "no program was started"; return 1; }
    sleep 0.2
  done
  sleep 0.5  # a second start would show as a second line
  tr -d '\r' <"$APP_RECORDED"
}

scenario_app_main_quillora_file_goes_to_its_application() {
  app_associate_qlr || return 1
  rm -f "$APP_RECORDED"
  app_open_main || return 1
  local before; before=$(job_count)
  app_select_printer "$APP_SPACED_QUEUE" || return 1
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/DOC.QLR")" || return 1
  drive click "$APP_MAIN" $IDC_PRINT || return 1
  # The job passes the file's short path; the name DOC.QLR is already short.
  local got; got=$(app_recorded) || return 1
  case $got in
    'Z:\'*'\DOC.QLR /pt "Office A" "RawOne" IP_10.0.0.7') ;;
    *) fail "the application got '$got'"; return 1 ;;
  esac
  app_expect_no_job "$before" || return 1
  # Open File hands the file to the same application, by its path as typed.
  rm -f "$APP_RECORDED"
  drive click "$APP_MAIN" $IDC_OPEN_FILE || return 1
  got=$(app_recorded) || return 1
  [ "$got" = "\"$(win_path "$APP_FILES/DOC.QLR")\"" ] || { fail "Open File started '$got'"; return 1; }
  app_close_main
}

scenario_app_main_quillora_without_application_prints_the_file() {
  app_dissociate_qlr
  app_open_main || return 1
  local before; before=$(job_count)
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/DOC.QLR")" || return 1
  drive click "$APP_MAIN" $IDC_PRINT || return 1
  app_expect_message "Quillora is not aviable" || return 1
  drive press pagewire $IDOK || return 1
  # Then the file goes to the printer as it is, like a TIFF file.
  app_expect_job $((before + 1)) "$APP_FILES/DOC.QLR" || return 1
  app_close_main
}

scenario_app_main_quillora_on_a_printer_that_went_away_uses_the_default() {
  app_associate_qlr || return 1
  rm -f "$APP_RECORDED"
  wine_run "$RIG_PROBE" add-printer Gone IP_192.0.2.9 RawOne || return 1
  app_open_main || return 1
  app_select_printer Gone || return 1
  # Removed after the list was filled: the name is listed but cannot be opened.
  app_reg delete "$APP_PRINTERS_KEY\\Gone" /f || return 1
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/DOC.QLR")" || return 1
  drive click "$APP_MAIN" $IDC_PRINT || return 1
  app_expect_message "Quilloraファイルは標準プリンタ「RawOne」で印刷します" || return 1
  screenshot quillora-default-printer
  # Cancel does not stop it: the shell prints the file.
  drive press pagewire $IDCANCEL || return 1
  local got; got=$(app_recorded) || return 1
  case $got in
    '/print "Z:\'*'\DOC.QLR"') ;;
    *) fail "the shell's print started '$got'"; return 1 ;;
  esac
  app_close_main
}
