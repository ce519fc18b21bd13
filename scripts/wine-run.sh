#!/usr/bin/env bash
# Runs one Windows program under Wine, bounded in time: the cross build's
# test emulator. Uses the session named by PAGEWIRE_WINE_SESSION when it
# exists (see wine-env.sh); otherwise makes a temporary one and ends it.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"

# Seconds one program may run; a modal window nobody closes would hang it.
timeout_s=${PAGEWIRE_WINE_TIMEOUT:-120}

session=${PAGEWIRE_WINE_SESSION:-}
own_session=""
if [ -z "$session" ] || [ ! -f "$session/env" ]; then
  session=$(mktemp -d "${TMPDIR:-/tmp}/pagewire-wine.XXXXXX")
  own_session=$session
  wine_session_start "$session" || exit 125
fi
# shellcheck disable=SC1091
. "$session/env"

# Output goes through a file: a Wine helper process started by this program
# (explorer.exe, ...) could otherwise keep the caller's pipe open.
out=$(mktemp "${TMPDIR:-/tmp}/pagewire-wine-out.XXXXXX")
timeout -k 5 "$timeout_s" "$PAGEWIRE_WINE" "$@" </dev/null >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
[ "$rc" -eq 124 ] && echo "wine-run: timed out after ${timeout_s}s: $*" >&2

[ -n "$own_session" ] && wine_session_stop "$own_session"
exit "$rc"
