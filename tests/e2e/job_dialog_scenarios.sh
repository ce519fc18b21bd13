# The job dialogs of pagewire.exe: "PDF File Print", "Enter Password" and the
# folder "Confirmation". Sourced by run_e2e.sh after app_scenarios.sh.
# shellcheck shell=bash

JOB_SETTINGS="PDF File Print" JOB_PASSWORD="Enter Password" JOB_CONFIRM="Confirmation"
JOB_SETTINGS_KEY='HKLM\SOFTWARE\WOW6432Node\Orvelle\Pagewire\pagewire'
JOB_MAC_KEY='HKLM\SOFTWARE\WOW6432Node\Orvelle\Pagewire\MacAddr'
JOB_RAWONE_PORT_KEY="$APP_TCPIP_PORTS_KEY\\CUPS:RawOne"
# libpagewire.so of the native build: DecryptPassword for check_password.py.
JOB_NATIVE_LIB=${PAGEWIRE_NATIVE_LIB:-$RIG_SOURCE_DIR/build/src/exports/libpagewire.so}
# Control ids of resource.h.
IDC_ALL_PAGES=1030 IDC_SELECT_PAGES=1031 IDC_FROM_PAGE=1032 IDC_TO_PAGE=1034
IDC_TO_LAST_PAGE=1036 IDC_COPIES=1037 IDC_COLLATED=1039 IDC_OUTPUT_COLOR=1040
IDC_PRINT_MODE=1041 IDC_PAPER_SIZE=1042 IDC_PAPER_TYPE=1043 IDC_DUPLEX=1044 IDC_LAYOUT=1045
IDC_SAVE_SETTINGS=1046
IDC_PASSWORD_FILE_NAME=1050 IDC_PASSWORD=1051 IDC_DETAILED=1052 IDC_DETAILS_GROUP=1053
IDC_MAC_FIELD_1=1054
IDC_FILE_CONFIRM_NAME=1060 IDC_FILE_CONFIRM_ABORT=1061 IDC_FILE_CONFIRM_PRINT_ALL=1062
WS_SYSMENU=0x80000 ES_PASSWORD=0x20 VK_UP=38
# The fixtures' passwords (tests/pdf/fixtures/make_fixtures.sh).
JOB_USER_PASSWORD=user3 JOB_OWNER_PASSWORD=owner3 JOB_AES_USER_PASSWORD=user6
JOB_FIXED_KEY=5c13a7e2096b

job_rig_setup() {
  cp "$RIG_SOURCE_DIR/tests/pdf/fixtures/r3_128.pdf" "$APP_FILES/secret.pdf"
  # AES-256 (revision 6) with a cross-reference stream.
  cp "$RIG_SOURCE_DIR/tests/pdf/fixtures/r6_aes256_xref_stream.pdf" "$APP_FILES/aes.pdf"
  mkdir -p "$APP_FILES/batch"
  local name
  for name in a b c; do cp "$APP_FILES/plain.pdf" "$APP_FILES/batch/$name.pdf"; done
  cp "$APP_FILES/SCAN.TIF" "$APP_FILES/batch/d.tif"
}

job_wait() {  # CAPTION
  drive wait-window "$1" 20000 || { fail "no \"$1\" dialog"; return 1; }
}

# job_expect_state CAPTION < LINES: each line (see pwdrive's dump) holds.
job_expect_state() {
  local state line rc=0
  state=$(drive dump "$1") || { fail "cannot read \"$1\""; return 1; }
  while IFS= read -r line; do
    grep -qxF -- "$line" <<<"$state" || { fail "\"$1\" lacks '$line'"; rc=1; }
  done
  [ $rc -eq 0 ] || printf '%s\n' "$state" >&2
  return $rc
}

# job_wait_confirm NAME: the confirmation shows NAME (a new one may follow
# the last at once, so the name, not the window, tells them apart).
job_wait_confirm() {
  local deadline=$((SECONDS + 20))
  until [ "$(drive get-text "$JOB_CONFIRM" $IDC_FILE_CONFIRM_NAME 2>/dev/null)" = "$1" ]; do
    [ $SECONDS -ge $deadline ] && { fail "no confirmation of $1"; return 1; }
    sleep 0.2
  done
}

# job_submit CAPTION ID TEXT: types TEXT into the field and presses OK.
job_submit() { drive set-text "$1" "$2" "$3" && drive press "$1" $IDOK; }

# job_open_settings: a direct launch of plain.pdf, through "&Print Settings...".
job_open_settings() {
  app_start_direct "$(win_path "$APP_FILES/plain.pdf")"
  app_wait_confirm && drive click "$APP_CONFIRM" $IDC_CONFIRM_PRINT_SETTINGS && job_wait "$JOB_SETTINGS"
}

# job_open_password: a direct launch of secret.pdf (the skip key is set).
job_open_password() {
  app_start_direct "$(win_path "$APP_FILES/secret.pdf")"
  job_wait "$JOB_PASSWORD"
}

# job_answer_message TEXT: the box says TEXT and is dismissed with OK.
job_answer_message() { app_expect_message "$1" && drive press pagewire $IDOK; }

job_reg_value() {  # KEY NAME: the value's data as reg prints it
  timeout -k 5 60 "$PAGEWIRE_WINE" reg query "$1" /v "$2" </dev/null 2>/dev/null |
    tr -d '\r' | awk -v name="$2" '$1 == name {print $3}'
}

# job_expect_password N KEY_MODE KEY_HEX PASSWORD: job N is the file of the
# last job_password_header with the password encrypted under that key, and
# qpdf opens the PDF received with that password.
job_expect_password() {
  app_expect_job "$1" "$JOB_PDF" "$JOB_HEADER" || return 1
  python3 "$here/check_password.py" "$RIG_JOBS/job-$1.bin" "$JOB_NATIVE_LIB" "$2" "$3" "$4"
}

# job_password_header MODE [FILE]: the expected header of FILE (default
# secret.pdf) for key MODE.
job_password_header() {
  JOB_PDF=${2:-$APP_FILES/secret.pdf}
  local name; name=$(basename "$JOB_PDF")
  JOB_HEADER=$RIG_DIR/$name-$1.header
  sed -e "s/DNAME=plain.pdf/DNAME=$name/" -e "s/FSIZ=967/FSIZ=$(stat -c %s "$JOB_PDF")/" \
    -e "/COMMENT IP=/a @PJL SET JOBATTR=\"@EPKY=$1\"\\n@PJL SET JOBATTR=\"@EPWD=<password>\"" \
    "$APP_EXPECTED/plain_pdf.header" >"$JOB_HEADER"
}

# --- "PDF File Print" --------------------------------------------------------

scenario_job_settings_choices_reach_header_and_registry() {
  app_clear_key || return 1
  app_reg delete "$JOB_SETTINGS_KEY" /f
  local before; before=$(job_count)
  job_open_settings || return 1
  drive has-style "$JOB_SETTINGS" - $WS_SYSMENU && { fail "the settings dialog has a system menu"; return 1; }
  job_expect_state "$JOB_SETTINGS" <<STATE || return 1
$IDC_ALL_PAGES on checked &All Pages
$IDC_FROM_PAGE off - 1
$IDC_TO_PAGE off - 1
$IDC_TO_LAST_PAGE off unchecked To the &Last Page
$IDC_COPIES on - 1
$IDC_OUTPUT_COLOR on - #0
$IDC_LAYOUT on - #0
$IDC_SAVE_SETTINGS on unchecked Sa&ve Settings
focus $IDOK
STATE
  local tip; tip=$(drive hover "$JOB_SETTINGS" $IDC_LAYOUT)
  [ "$tip" = "Select the output layout. Size will not be enlarged/reduced for [100%]" ] ||
    { fail "the Layout tip is '$tip'"; return 1; }
  # The number fields: both messages, and the up-down's bounds.
  job_submit "$JOB_SETTINGS" $IDC_COPIES 0 || return 1
  job_answer_message "Please enter an integer between 1 and 999." || return 1
  job_submit "$JOB_SETTINGS" $IDC_COPIES abc || return 1
  job_answer_message "Please enter a positive integer." || return 1
  drive set-text "$JOB_SETTINGS" $IDC_COPIES 999 && drive key "$JOB_SETTINGS" $IDC_COPIES $VK_UP
  app_expect_text "$JOB_SETTINGS" $IDC_COPIES 999 || return 1
  drive set-text "$JOB_SETTINGS" $IDC_COPIES 2 && drive key "$JOB_SETTINGS" $IDC_COPIES $VK_UP
  app_expect_text "$JOB_SETTINGS" $IDC_COPIES 3 || return 1
  # Page range and layout rules.
  drive click "$JOB_SETTINGS" $IDC_SELECT_PAGES && drive set-text "$JOB_SETTINGS" $IDC_FROM_PAGE 2 &&
    drive click "$JOB_SETTINGS" $IDC_TO_LAST_PAGE && drive select "$JOB_SETTINGS" $IDC_LAYOUT 2 || return 1
  job_expect_state "$JOB_SETTINGS" <<STATE || return 1
$IDC_ALL_PAGES off unchecked &All Pages
$IDC_SELECT_PAGES off checked &Select Pages
$IDC_FROM_PAGE off - 2
$IDC_TO_PAGE off - 1
$IDC_TO_LAST_PAGE off checked To the &Last Page
$IDC_DUPLEX off - #0
$IDC_PAPER_TYPE off - #0
$IDC_PAPER_SIZE on - #0
STATE
  screenshot settings-booklet
  drive select "$JOB_SETTINGS" $IDC_LAYOUT 3 || return 1
  job_expect_state "$JOB_SETTINGS" <<STATE || return 1
$IDC_SELECT_PAGES on checked &Select Pages
$IDC_FROM_PAGE on - 2
$IDC_TO_PAGE off - 1
$IDC_TO_LAST_PAGE on checked To the &Last Page
$IDC_DUPLEX on - #0
$IDC_PAPER_TYPE on - #0
$IDC_PAPER_SIZE off - #0
STATE
  local id index
  for id in "$IDC_PAPER_TYPE 1" "$IDC_DUPLEX 2" "$IDC_OUTPUT_COLOR 1" "$IDC_PRINT_MODE 2"; do
    read -r id index <<<"$id"
    drive select "$JOB_SETTINGS" "$id" "$index" || return 1
  done
  drive click "$JOB_SETTINGS" $IDC_COLLATED && drive click "$JOB_SETTINGS" $IDC_SAVE_SETTINGS &&
    drive press "$JOB_SETTINGS" $IDOK || return 1
  wait_app || fail "pagewire.exe failed"
  app_expect_job $((before + 1)) "$APP_FILES/plain.pdf" "$APP_EXPECTED/settings_pdf.header" || return 1
  local got; got="$(job_reg_value "$JOB_SETTINGS_KEY" PrintMode) $(job_reg_value "$JOB_SETTINGS_KEY" Copies) $(job_reg_value "$JOB_SETTINGS_KEY" Pages)"
  [ "$got" = "0x20102 0x60030003 0x80010002" ] || { fail "saved settings are $got"; return 1; }
  # The next command starts from them; Cancel writes nothing and prints nothing.
  job_open_settings || return 1
  job_expect_state "$JOB_SETTINGS" <<STATE || return 1
$IDC_SELECT_PAGES on checked &Select Pages
$IDC_FROM_PAGE on - 2
$IDC_TO_LAST_PAGE on checked To the &Last Page
$IDC_COPIES on - 3
$IDC_COLLATED on checked &Collated
$IDC_OUTPUT_COLOR on - #1
$IDC_PRINT_MODE on - #2
$IDC_PAPER_TYPE on - #1
$IDC_DUPLEX on - #2
$IDC_LAYOUT on - #3
$IDC_SAVE_SETTINGS on checked Sa&ve Settings
STATE
  drive click "$JOB_SETTINGS" $IDC_SAVE_SETTINGS && drive press "$JOB_SETTINGS" $IDCANCEL || return 1
  wait_app
  app_expect_no_job $((before + 1)) || return 1
  [ "$(job_reg_value "$JOB_SETTINGS_KEY" Copies)" = 0x60030003 ] || fail "Cancel changed the saved settings"
  app_reg delete "$JOB_SETTINGS_KEY" /f
  return 0
}

# --- "Enter Password" --------------------------------------------------------

scenario_job_password_fixed_key_four_tries_and_owner() {
  app_set_key || return 1
  app_reg delete "$JOB_RAWONE_PORT_KEY" /f
  job_password_header FK
  local before try; before=$(job_count)
  job_open_password || return 1
  screenshot password-collapsed
  drive has-style "$JOB_PASSWORD" $IDC_PASSWORD $ES_PASSWORD || { fail "the password is not masked"; return 1; }
  # No address on RawOne's port: no details.
  job_expect_state "$JOB_PASSWORD" <<STATE || return 1
$IDC_PASSWORD_FILE_NAME on - secret.pdf
$IDC_DETAILED off - Detailed 
focus $IDC_PASSWORD
STATE
  local tip; tip=$(drive hover "$JOB_PASSWORD" $IDC_PASSWORD)
  [ "$tip" = "Enter the password set for this file. " ] || { fail "the password tip is '$tip'"; return 1; }
  local window group
  window=$(drive rect "$JOB_PASSWORD") group=$(drive rect "$JOB_PASSWORD" $IDC_DETAILS_GROUP)
  read -r _ wtop _ wbottom <<<"$window"; read -r _ gtop _ _ <<<"$group"
  [ $((wbottom - wtop)) -eq $((gtop - wtop)) ] || { fail "collapsed window $window, group $group"; return 1; }
  for try in 1 2 3 4; do
    [ $try -gt 1 ] && { job_wait "$JOB_PASSWORD" || return 1; }
    job_submit "$JOB_PASSWORD" $IDC_PASSWORD "wrong$try" || return 1
    if [ $try -lt 4 ]; then job_answer_message "Check the password you have just entered." || return 1
    else job_answer_message "Wrong password. Printing will be canceled." || return 1
    fi
  done
  wait_app
  app_expect_no_job "$before" || return 1
  # A text longer than the field's limit is refused; the user and the owner
  # password each print.
  job_open_password || return 1
  drive set-text "$JOB_PASSWORD" $IDC_PASSWORD "$(printf 'p%.0s' {1..33})" && drive press "$JOB_PASSWORD" $IDOK || return 1
  job_answer_message "Please enter no more than 32 characters." || return 1
  job_submit "$JOB_PASSWORD" $IDC_PASSWORD $JOB_USER_PASSWORD || return 1
  wait_app || fail "pagewire.exe failed"
  job_expect_password $((before + 1)) FK $JOB_FIXED_KEY $JOB_USER_PASSWORD || return 1
  job_open_password || return 1
  job_submit "$JOB_PASSWORD" $IDC_PASSWORD $JOB_OWNER_PASSWORD || return 1
  wait_app || fail "pagewire.exe failed"
  job_expect_password $((before + 2)) FK $JOB_FIXED_KEY $JOB_OWNER_PASSWORD
}

scenario_job_password_mac_address_saved_and_shown_again() {
  app_set_key || return 1
  app_reg add "$JOB_RAWONE_PORT_KEY" /v IPAddress /d 127.0.0.1 /f || return 1
  app_reg delete "$JOB_MAC_KEY" /f
  job_password_header MA
  local before i rc=0; before=$(job_count)
  job_open_password || return 1
  drive is-enabled "$JOB_PASSWORD" $IDC_DETAILED || { fail "Detailed is off for a port with an address"; return 1; }
  drive click "$JOB_PASSWORD" $IDC_DETAILED || return 1
  sleep 0.5
  local window group
  window=$(drive rect "$JOB_PASSWORD") group=$(drive rect "$JOB_PASSWORD" $IDC_DETAILS_GROUP)
  read -r _ wtop _ wbottom <<<"$window"; read -r _ _ _ gbottom <<<"$group"
  [ $((wbottom - wtop)) -eq $((gbottom - wtop + 20)) ] || { fail "expanded window $window, group $group"; return 1; }
  local fields=(00 1B c0 FF 7 5a)
  for i in 0 1 2 3 4 5; do drive set-text "$JOB_PASSWORD" $((IDC_MAC_FIELD_1 + i)) "${fields[$i]}" || return 1; done
  screenshot password-expanded
  job_submit "$JOB_PASSWORD" $IDC_PASSWORD $JOB_USER_PASSWORD || return 1
  job_answer_message "String is Fail." || return 1
  drive set-text "$JOB_PASSWORD" $((IDC_MAC_FIELD_1 + 4)) 07 && drive press "$JOB_PASSWORD" $IDOK || return 1
  wait_app || fail "pagewire.exe failed"
  job_expect_password $((before + 1)) MA 001bc0ff075a $JOB_USER_PASSWORD || rc=1
  [ "$(job_reg_value "$JOB_MAC_KEY" pagewire)" = 001BC0FF075A ] || { fail "MacAddr is not the address"; rc=1; }
  # The next run shows it in lower case; an empty field then deletes it and
  # the fixed key is used.
  job_open_password || return 1
  job_expect_state "$JOB_PASSWORD" <<STATE || rc=1
$IDC_MAC_FIELD_1 on - 00
$((IDC_MAC_FIELD_1 + 1)) on - 1b
$((IDC_MAC_FIELD_1 + 2)) on - c0
$((IDC_MAC_FIELD_1 + 3)) on - ff
$((IDC_MAC_FIELD_1 + 4)) on - 07
$((IDC_MAC_FIELD_1 + 5)) on - 5a
STATE
  drive set-text "$JOB_PASSWORD" $((IDC_MAC_FIELD_1 + 2)) "" &&
    job_submit "$JOB_PASSWORD" $IDC_PASSWORD $JOB_USER_PASSWORD || return 1
  wait_app || fail "pagewire.exe failed"
  job_password_header FK
  job_expect_password $((before + 2)) FK $JOB_FIXED_KEY $JOB_USER_PASSWORD || rc=1
  app_reg query "$JOB_MAC_KEY" && { fail "an empty field left the MacAddr key"; rc=1; }
  app_reg delete "$JOB_RAWONE_PORT_KEY" /f
  return $rc
}

# An AES-256 PDF with a cross-reference stream, typed into the main dialog:
# its settings, then the password asked for it; a wrong one is told, the
# user password prints, and the printer gets it with the file unchanged.
scenario_job_password_aes256_xref_stream_from_main_dialog() {
  app_reg delete "$JOB_SETTINGS_KEY" /f
  app_reg delete "$JOB_RAWONE_PORT_KEY" /f
  job_password_header FK "$APP_FILES/aes.pdf"
  local before; before=$(job_count)
  app_open_main || return 1
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/aes.pdf")" &&
    drive click "$APP_MAIN" $IDC_PRINT || return 1
  job_wait "$JOB_SETTINGS" && drive press "$JOB_SETTINGS" $IDOK || return 1
  job_wait "$JOB_PASSWORD" || return 1
  job_expect_state "$JOB_PASSWORD" <<STATE || return 1
$IDC_PASSWORD_FILE_NAME on - aes.pdf
focus $IDC_PASSWORD
STATE
  job_submit "$JOB_PASSWORD" $IDC_PASSWORD wrong6 || return 1
  job_answer_message "Check the password you have just entered." || return 1
  job_wait "$JOB_PASSWORD" &&
    job_submit "$JOB_PASSWORD" $IDC_PASSWORD $JOB_AES_USER_PASSWORD || return 1
  drive wait-gone "$JOB_PASSWORD" 10000 || return 1
  job_expect_password $((before + 1)) FK $JOB_FIXED_KEY $JOB_AES_USER_PASSWORD || return 1
  [ "$(job_count)" -eq $((before + 1)) ] || { fail "more than one job of aes.pdf"; return 1; }
  app_close_main
}

# --- "Confirmation" ----------------------------------------------------------

scenario_job_folder_confirmation_cancel_abort_and_print_all() {
  app_open_main || return 1
  local before; before=$(job_count)
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/batch")" && drive click "$APP_MAIN" $IDC_PRINT || return 1
  job_wait_confirm A.PDF || return 1
  screenshot confirmation
  job_expect_state "$JOB_CONFIRM" <<<"focus $IDOK" || return 1
  drive press "$JOB_CONFIRM" $IDCANCEL || return 1
  job_wait_confirm B.PDF || return 1
  drive press "$JOB_CONFIRM" $IDC_FILE_CONFIRM_ABORT || return 1
  drive wait-gone "$JOB_CONFIRM" 10000 || return 1
  app_expect_no_job "$before" || return 1
  # a.pdf: OK, then 4 up and Cancel in its settings (skipped, the layout
  # stays); b.pdf: Print All and OK: b, c and d.tif print without questions.
  drive click "$APP_MAIN" $IDC_PRINT && job_wait_confirm A.PDF && drive press "$JOB_CONFIRM" $IDOK || return 1
  job_wait "$JOB_SETTINGS" && drive select "$JOB_SETTINGS" $IDC_LAYOUT 4 && drive press "$JOB_SETTINGS" $IDCANCEL || return 1
  job_wait_confirm B.PDF || return 1
  drive press "$JOB_CONFIRM" $IDC_FILE_CONFIRM_PRINT_ALL && job_wait "$JOB_SETTINGS" || return 1
  job_expect_state "$JOB_SETTINGS" <<<"$IDC_LAYOUT on - #4" || return 1
  drive press "$JOB_SETTINGS" $IDOK || return 1
  local name n=0
  for name in b c; do
    n=$((n + 1))
    sed -e "s/DNAME=a.pdf/DNAME=$name.pdf/" -e 's/@LOUT=AUTOSCALING/@LOUT=N4/' \
      "$APP_EXPECTED/folder_a_pdf.header" >"$RIG_DIR/batch-$name.header"
    app_expect_job $((before + n)) "$APP_FILES/batch/$name.pdf" "$RIG_DIR/batch-$name.header" || return 1
  done
  app_expect_job $((before + 3)) "$APP_FILES/batch/d.tif" || return 1
  drive wait-window "$JOB_CONFIRM" 1000 && { fail "a question after Print All"; return 1; }
  app_close_main
}
