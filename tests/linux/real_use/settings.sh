# Part of real_use_scenarios.sh: what IPP jobs carry of the settings, and the
# settings file. A job without -o leaves every setting to the printer; a bad
# saved value is named by its line and nothing is sent; --save without a
# file keeps settings given several to one -o, and a job with no PATH reads
# standard input and carries them; a TIFF carries those that apply to it.
cat >"$tmp/settings.conf" <<'CONF'
ATTR mimeMediaType document-format-supported application/pdf,image/tiff
ATTR rangeOfInteger copies-supported 1-999
ATTR keyword sides-supported one-sided,two-sided-long-edge,two-sided-short-edge
ATTR keyword media-supported iso_a4_210x297mm,na_letter_8.5x11in
ATTR keyword media-type-supported stationery
ATTR keyword print-color-mode-supported auto,monochrome,color
ATTR enum print-quality-supported 3,4,5
CONF
start_printer settings -a "$tmp/settings.conf"
settings_port=${uri_settings#ipp://127.0.0.1:}
wait_port "${settings_port%%/*}"
settings_file=$XDG_CONFIG_HOME/pagewire/settings

expect 0 -d "$uri_settings" "$fixtures/plain.pdf"
[ -n "$(job settings 1)" ] || fail "the job without -o did not arrive"
if job_env settings 1 | grep -E '^IPP_(MEDIA|MEDIA_COL|PRINT_QUALITY|COPIES|SIDES)='; then
  fail "a job without -o carried settings nobody chose"
fi

mkdir -p "${settings_file%/*}"
printf '# by hand\ncopies=2\npages=5-2\n' >"$settings_file"
expect 2 -d "$uri_settings" "$fixtures/plain.pdf"
holds "$err" "the bad saved value" "$settings_file:3: pages: the range 5-2 ends before it starts"
[ -z "$(job settings 2)" ] || fail "a job went out with a bad saved value"

rm -f "$settings_file"
expect 0 --save -o "sides=two-sided-long-edge print-color-mode=monochrome"
holds "$(cat "$settings_file")" "the saved settings" "sides=two-sided-long-edge" \
  "print-color-mode=monochrome"
[ -z "$(job settings 2)" ] || fail "--save without a file printed"
timeout -k 5 60 "$pagewire" -d "$uri_settings" <"$fixtures/plain.pdf" >"$tmp/out" 2>"$tmp/err" ||
  fail "a job from standard input without a PATH failed: $(cat "$tmp/err")"
holds "$(job_env settings 2)" "the saved settings' job" \
  IPP_SIDES=two-sided-long-edge IPP_PRINT_COLOR_MODE=monochrome
cmp -s "$(job settings 2)" "$fixtures/plain.pdf" || fail "standard input did not arrive unchanged"
# A TIFF takes what applies to any document: no layout.
printf 'II*\0a TIFF' >"$tmp/scan.tif"
expect 0 -d "$uri_settings" -n 2 -o layout=2up "$tmp/scan.tif"
tiff_job=$(job_env settings 3)
holds "$tiff_job" "the TIFF's job" IPP_COPIES=2 IPP_SIDES=two-sided-long-edge \
  CONTENT_TYPE=image/tiff
if grep -q '^IPP_NUMBER_UP=' <<<"$tiff_job"; then fail "a TIFF was sent a layout"; fi
rm -f "$settings_file"
