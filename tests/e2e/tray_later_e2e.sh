#!/usr/bin/env bash
# Started before any tray exists, the app keeps running, says so once, and its
# icon, with its menu, appears as soon as a tray starts: an X11 tray (under
# with-desktop.sh --no-panel), or a StatusNotifierItem watcher (sni, under
# with-kwin.sh --no-panel), whose host's left click (Activate) opens the menu
# as a left click does on X11. Usage: tray_later_e2e.sh VENTREL_BINARY [sni]
set -euo pipefail
. "$VENTREL_E2E_LIB"
. "$(dirname "$0")/tray-lib.sh"
fail() { echo "FAIL: $*"; cat "$err"; exit 1; }
err=$VENTREL_E2E_DIR/app.err items=$VENTREL_E2E_DIR/items

[ "${2:-}" = sni ] && trap 'kill $(jobs -p) 2>/dev/null || true' EXIT || a11y_session
"$1" 2>"$err" &
app=$!
wait_for 10 grep -q 'no system tray' "$err" || fail "no line about the missing tray"
kill -0 "$app" || fail "the app did not keep running without a tray"
if [ "${2:-}" = sni ]; then
  "$(dirname "$0")/sni_watcher.py" >"$items" &
  wait_for 10 test -s "$items" || fail "the icon never registered with the watcher that came later"
  dbus-send --session --type=method_call --dest="$(head -n1 "$items")" /StatusNotifierItem org.kde.StatusNotifierItem.Activate int32:10 int32:10
  wait_for 5 menu_open || fail "the host's left click (Activate) did not open the menu"
else
  trayer --edge bottom --height 26 --SetDockType true --SetPartialStrut true >/dev/null 2>&1 &
  tray=$!
  wait_for 10 tray_icon_placed || fail "the icon never reached the tray that started later"
  open_tray_menu 3 "Quit Ventrel" >/dev/null || fail "no menu on the icon in the later tray"
fi
[ "$(grep -c . "$err")" -eq 1 ] || fail "more than the one line on stderr:"
echo "PASS: one line about the missing tray, then the icon and its menu in the tray that came later"
echo "1 passed, 0 failed"
