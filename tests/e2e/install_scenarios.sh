# The Windows installer under Wine: a silent install, the settings key opened
# to the Users group, a print by the installed program, a silent uninstall.
# Sourced by run_e2e.sh.
# shellcheck shell=bash

INSTALL_UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pagewire'
INSTALL_KEY_ACCESS=$BUILD_DIR/src/installer/pagewire-keyaccess.exe

# install_links: the program's shortcuts anywhere in the prefix.
install_links() { find "$WINEPREFIX/drive_c" -iname 'Pagewire.lnk' | sort; }

scenario_install_silent_print_and_uninstall() {
  local setup dir="$WINEPREFIX/drive_c/Program Files/Pagewire"
  setup=$(find "$BUILD_DIR" -maxdepth 1 -name 'pagewire-*-setup.exe' -print -quit)
  [ -n "$setup" ] || { fail "no installer in $BUILD_DIR"; return 1; }
  wine_run "$setup" /S || { fail "the silent install failed"; return 1; }
  cmp -s "$dir/pagewire.exe" "$RIG_APP" && [ -f "$dir/uninstall.exe" ] ||
    { fail "the installed files are not in place"; return 1; }
  local links; links=$(install_links)
  local expected
  for expected in '/ProgramData/Microsoft/Windows/Start Menu/Programs/Pagewire.lnk' \
      '/users/Public/Desktop/Pagewire.lnk' "/users/$USER/AppData/Roaming/Microsoft/Windows/SendTo/Pagewire.lnk"; do
    grep -qF "$expected" <<<"$links" || { fail "no shortcut $expected in: $links"; return 1; }
  done
  local entry name
  entry=$(timeout -k 5 60 "$PAGEWIRE_WINE" reg query "$INSTALL_UNINSTALL_KEY" </dev/null | tr -d '\r')
  for name in DisplayName DisplayVersion Publisher DisplayIcon InstallLocation EstimatedSize \
      UninstallString QuietUninstallString; do
    grep -q "^ *$name " <<<"$entry" || { fail "the Uninstall entry lacks $name: $entry"; return 1; }
  done
  grep -q 'QuietUninstallString *REG_SZ *"C:\\Program Files\\Pagewire\\uninstall.exe" /S$' <<<"$entry" ||
    { fail "QuietUninstallString: $entry"; return 1; }
  # Full control for S-1-5-32-545, inherited by subkeys.
  local dacl; dacl=$(wine_query "$INSTALL_KEY_ACCESS" show)
  grep -qE '\(A;[A-Z]*CI[A-Z]*;(KA|0xf003f);;;(BU|S-1-5-32-545)\)' <<<"$dacl" ||
    { fail "the settings key's DACL is $dacl"; return 1; }
  # The installed program prints.
  app_set_key || return 1
  local before; before=$(job_count)
  wine_run "$RIG_DRIVER" run "$(win_path "$dir/pagewire.exe")" "$(win_path "$APP_FILES/plain.pdf")" ||
    fail "the installed pagewire.exe failed"
  app_expect_job $((before + 1)) "$APP_FILES/plain.pdf" "$APP_EXPECTED/plain_pdf.header" || return 1
  # The uninstaller runs a copy of itself and returns at once.
  wine_run "$dir/uninstall.exe" /S || { fail "the silent uninstall failed"; return 1; }
  local deadline=$((SECONDS + 30))
  while [ -e "$dir" ] || [ -n "$(install_links)" ]; do
    [ $SECONDS -ge $deadline ] && { fail "left behind: $(ls "$dir" 2>/dev/null) $(install_links)"; return 1; }
    sleep 0.5
  done
  app_reg query "$INSTALL_UNINSTALL_KEY" && { fail "the Uninstall entry stayed"; return 1; }
  return 0
}
