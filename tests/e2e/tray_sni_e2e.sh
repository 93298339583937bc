#!/usr/bin/env bash
# The tray on a StatusNotifierItem host (Plasma's tray, under with-kwin.sh):
# started before the panel's watcher, the app says so once and registers its
# icon as soon as the watcher appears; the host's left click (Activate) opens
# the menu, as a left click on X11 does.
# Usage: tray_sni_e2e.sh VENTREL_BINARY
set -euo pipefail
ventrel=$1
here=$(dirname "$0")
. "$VENTREL_E2E_LIB"
. "$here/tray-lib.sh"

app= watcher=
trap 'kill $app $watcher 2>/dev/null || true' EXIT
"$ventrel" 2>"$VENTREL_E2E_DIR/app.err" &
app=$!
said_once() { [ "$(grep -c 'no system tray' "$VENTREL_E2E_DIR/app.err")" -eq 1 ]; }
wait_for 10 said_once || { echo "FAIL: expected one line about the missing tray, got:"; cat "$VENTREL_E2E_DIR/app.err"; exit 1; }

"$here/sni_watcher.py" >"$VENTREL_E2E_DIR/items" &
watcher=$!
wait_for 10 test -s "$VENTREL_E2E_DIR/items" || { echo "FAIL: the icon never registered with the watcher that started later"; exit 1; }
item=$(head -n1 "$VENTREL_E2E_DIR/items")
echo "PASS: the icon registered with the later watcher as $item"

dbus-send --session --type=method_call --dest="$item" /StatusNotifierItem org.kde.StatusNotifierItem.Activate int32:10 int32:10
wait_for 5 menu_open || { echo "FAIL: the host's left click (Activate) did not open the menu"; exit 1; }
echo "PASS: Activate opened the menu"
kill -0 "$app" || { echo "FAIL: the app ended"; exit 1; }
[ "$(grep -c . "$VENTREL_E2E_DIR/app.err")" -eq 1 ] || { echo "FAIL: more than one line on stderr:"; cat "$VENTREL_E2E_DIR/app.err"; exit 1; }
echo "2 passed, 0 failed"
