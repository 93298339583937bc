#!/usr/bin/env bash
# Started before any tray exists (under with-desktop.sh --no-panel): the app
# keeps running, says so once, and its icon appears as soon as a tray starts.
# Usage: tray_later_e2e.sh VENTREL_BINARY
set -euo pipefail
. "$VENTREL_E2E_LIB"
. "$(dirname "$0")/tray-lib.sh"

a11y_session
"$1" 2>"$VENTREL_E2E_DIR/app.err" &
app=$!
said_once() { [ "$(grep -c 'no system tray' "$VENTREL_E2E_DIR/app.err")" -eq 1 ]; }
wait_for 10 said_once || { echo "FAIL: expected one line about the missing tray, got:"; cat "$VENTREL_E2E_DIR/app.err"; exit 1; }
kill -0 "$app" || { echo "FAIL: the app did not keep running without a tray"; exit 1; }

trayer --edge bottom --height 26 --SetDockType true --SetPartialStrut true >/dev/null 2>&1 &
tray=$!
wait_for 10 tray_icon_placed || { echo "FAIL: the icon never reached the tray that started later"; exit 1; }
choose $(open_tray_menu 3 "Quit Ventrel")
status=0
wait "$app" || status=$?
[ "$status" -eq 0 ] || { echo "FAIL: quit gave status $status"; exit 1; }
[ "$(grep -c . "$VENTREL_E2E_DIR/app.err")" -eq 1 ] || { echo "FAIL: more than one line on stderr"; exit 1; }
echo "PASS: no tray at start, one message, icon placed once a tray appeared, quit with 0"
echo "1 passed, 0 failed"
