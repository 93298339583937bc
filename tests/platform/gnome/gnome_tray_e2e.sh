#!/usr/bin/env bash
# The tray app on GNOME, run by with-gnome.sh:
#   gnome_tray_e2e.sh VENTREL with      the AppIndicator extension runs: the icon appears in the
#                                       top bar, a left click opens its menu, a chosen item acts
#   gnome_tray_e2e.sh VENTREL without   no tray host: Ventrel says so once
set -euo pipefail
. "$VENTREL_E2E_LIB"
ventrel=$1
log=$VENTREL_E2E_DIR/ventrel.log
QT_QPA_PLATFORM=xcb "$ventrel" 2>"$log" &
pid=$!
trap 'status=$?; kill $pid 2>/dev/null; wait $pid 2>/dev/null || true; exit $status' EXIT

if [ "$2" = without ]; then
  wait_for 10 grep -q "AppIndicator extension" "$log" || { echo "no word on the missing tray host:" >&2; cat "$log" >&2; exit 1; }
  [ "$(grep -c "AppIndicator extension" "$log")" -eq 1 ] || { echo "said more than once" >&2; exit 1; }
  exit 0
fi

icon='Object.values(Main.panel.statusArea).find(i => /ventrel/i.test(i._indicator?.id ?? ""))'
wait_for 10 shell_eval_is true "($icon)?.menu.numMenuItems > 5" || { echo "no tray icon with a menu" >&2; cat "$log" >&2; exit 1; }
! grep -q "AppIndicator extension" "$log" || { echo "complained of a missing tray host" >&2; exit 1; }
# What the top bar does with a left click on it.
shell_eval "($icon).vfunc_button_press_event({button: imports.gi.Clutter.BUTTON_PRIMARY, click_count: 1, time: 0, x: 0, y: 0})" >/dev/null
wait_for 5 shell_eval_is true "($icon).menu.isOpen" || { echo "a left click did not open the menu" >&2; exit 1; }
shell_eval "($icon).menu._getMenuItems().find(i => i.label?.text === 'About Ventrel')
  .emit('activate', imports.gi.Clutter.Event.new(imports.gi.Clutter.EventType.BUTTON_RELEASE))" >/dev/null ||
  { echo "the menu has no About Ventrel" >&2; exit 1; }
wait_for 10 shell_eval_is true 'global.get_window_actors().some(a => a.meta_window.get_title() === "About Ventrel")' ||
  { echo "choosing About Ventrel showed no window" >&2; exit 1; }
