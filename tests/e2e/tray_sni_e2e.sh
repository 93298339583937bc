#!/usr/bin/env bash
# The tray on a StatusNotifierItem host, under with-kwin.sh --no-panel: started
# before the panel's watcher, the app says so once and registers its icon when
# the watcher appears; the host's left click (Activate) opens the menu, as a
# left click does on X11. Usage: tray_sni_e2e.sh VENTREL_BINARY
set -euo pipefail
. "$VENTREL_E2E_LIB"
. "$(dirname "$0")/tray-lib.sh"
err=$VENTREL_E2E_DIR/app.err items=$VENTREL_E2E_DIR/items
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
"$1" 2>"$err" &
wait_for 10 grep -q 'no system tray' "$err" || { echo "FAIL: no line about the missing tray"; exit 1; }
"$(dirname "$0")/sni_watcher.py" >"$items" &
wait_for 10 test -s "$items" || { echo "FAIL: the icon never registered with the watcher that came later"; exit 1; }
dbus-send --session --type=method_call --dest="$(head -n1 "$items")" /StatusNotifierItem org.kde.StatusNotifierItem.Activate int32:10 int32:10
wait_for 5 menu_open || { echo "FAIL: the host's left click (Activate) did not open the menu"; exit 1; }
[ "$(grep -c . "$err")" -eq 1 ] || { echo "FAIL: more than the one line on stderr:"; cat "$err"; exit 1; }
echo "PASS: one line about the missing tray, the icon registered with the later watcher, Activate opened the menu"
