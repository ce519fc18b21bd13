# Failures in the middle of a command: each ends it with its message and
# leaves what was sent before it intact. Sourced by run_e2e.sh after the
# job dialog scenarios.
# shellcheck shell=bash

# fault_expect_message_ending TEXT: a message box ends with TEXT (the start
# is a path whose short form Wine chooses); it is dismissed.
fault_expect_message_ending() {
  drive wait-window pagewire 20000 || { fail "no message box"; return 1; }
  local text; text=$(drive msgbox-text pagewire)
  [[ $text == *"$1" ]] || { fail "message was '$text', not one ending '$1'"; return 1; }
  drive press pagewire $IDOK
}

scenario_fault_output_file_on_a_full_disk() {
  local out=$APP_FILES/full.prn before
  ln -sf /dev/full "$out"
  app_open_main || return 1
  before=$(job_count)
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/SCAN.TIF")" || return 1
  drive shift-click "$APP_MAIN" $IDC_PRINT || return 1
  drive wait-window "Save As" 20000 || { fail "no Save As dialog"; return 1; }
  drive set-text "Save As" $SAVE_AS_NAME "$(win_path "$out")" && drive press "Save As" $IDOK || return 1
  job_answer_message "Disk full while accessing $(win_path "$out")." || return 1
  app_expect_no_job "$before" || return 1
  app_close_main
}

scenario_fault_file_deleted_mid_folder_and_printer_gone() {
  mkdir -p "$APP_FILES/vanish"
  cp "$APP_FILES/SCAN.TIF" "$APP_FILES/vanish/x.tif"
  cp "$APP_FILES/SCAN.TIF" "$APP_FILES/vanish/y.tif"
  wine_run "$RIG_PROBE" add-printer Vanished IP_192.0.2.11 RawOne || return 1
  app_open_main || return 1
  local before; before=$(job_count)
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/vanish")" && drive click "$APP_MAIN" $IDC_PRINT || return 1
  job_wait_confirm X.TIF && drive press "$JOB_CONFIRM" $IDOK || return 1
  # y.tif was found by the search and goes before it is opened.
  job_wait_confirm Y.TIF || return 1
  rm "$APP_FILES/vanish/y.tif"
  drive press "$JOB_CONFIRM" $IDOK || return 1
  fault_expect_message_ending '\y.tif was not found.' || return 1
  # The printer goes after the list was filled.
  app_select_printer Vanished || return 1
  app_reg delete "$APP_PRINTERS_KEY\\Vanished" /f || return 1
  drive set-text "$APP_MAIN" $IDC_FILE_EDIT "$(win_path "$APP_FILES/SCAN.TIF")" && drive click "$APP_MAIN" $IDC_PRINT || return 1
  job_answer_message "An unsupported operation was attempted." || return 1
  app_expect_no_job $((before + 1)) || return 1
  app_expect_job $((before + 1)) "$APP_FILES/SCAN.TIF" || return 1
  app_close_main
}
