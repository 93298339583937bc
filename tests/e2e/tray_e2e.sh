#!/usr/bin/env bash
# The tray app end to end: the icon in a real tray, its menu driven with a
# real pointer and keyboard, the window it acts on read back from the server.
# Usage (under with-desktop.sh --size 1920x1080): tray_e2e.sh VENTREL_BINARY
set -euo pipefail
ventrel=$1
. "$VENTREL_E2E_LIB"
. "$(dirname "$0")/tray-lib.sh"

read -r screen_w screen_h <<<"${VENTREL_E2E_SCREEN/x/ }"
work_h=$((screen_h - VENTREL_E2E_PANEL_HEIGHT))

client=$(start_client 600x400+200+150 tray-client)
a11y_session
"$ventrel" >"$VENTREL_E2E_DIR/app.out" 2>"$VENTREL_E2E_DIR/app.err" &
app=$!
trap 'kill $app 2>/dev/null || true; a11y_end' EXIT

wait_for 10 tray_icon_placed || { echo "FAIL: the icon never reached the tray"; exit 1; }
check "no message when a tray is running" "" "$(cat "$VENTREL_E2E_DIR/app.err")"

item=$(open_tray_menu 3 "1440×900 - Desktop App")
check "opening the menu keeps the client active" "$client" "$(active_window)"
choose $item
wait_for 5 bash -c '. "$VENTREL_E2E_LIB"; frame_geometry '"$client"' | grep -q " 1440 900$"' || true
read -r _ _ w h <<<"$(frame_geometry "$client")"
check "Desktop App gives the outer size 1440x900" "1440 900" "$w $h"

item=$(open_tray_menu 1 "Snap Position") # the left button opens the same menu
choose $(open_submenu $item "Left Half")
wait_for 5 bash -c '. "$VENTREL_E2E_LIB"; frame_geometry '"$client"' | grep -q "^0 0 "' || true
check "Left Half fills the left of the work area" "0 0 $((screen_w / 2)) $work_h" "$(frame_geometry "$client")"

# Settings from the menu: add a preset through the form, then apply it from the menu.
choose $(open_tray_menu 3 "Settings...")
wait_for 5 has_window_named Settings || { echo "FAIL: Settings... opened no window"; exit 1; }
click_item "Presets"
click_item "Add Preset"
wait_for 5 a11y_find "Add" # the form is open, its name field focused
xdotool type --delay 20 "Square"
xdotool key Tab type --delay 20 "1000"
xdotool key Tab type --delay 20 "900"
click_item "Add"
stored() { grep -q 'Square' "$XDG_CONFIG_HOME/Ventrel/Ventrel.conf"; }
wait_for 5 stored || true
check "the form stored the new preset" yes "$(stored && echo yes || echo no)"
wmctrl -F -c Settings
wmctrl -i -a "$client" # the user goes back to their window
client_active() { [ "$(active_window)" = "$client" ]; }
wait_for 5 client_active || true
choose $(open_tray_menu 3 "1000×900 - Square")
wait_for 5 bash -c '. "$VENTREL_E2E_LIB"; frame_geometry '"$client"' | grep -q " 1000 900$"' || true
read -r _ _ w h <<<"$(frame_geometry "$client")"
check "the new preset is in the tray menu and applies 1000x900" "1000 900" "$w $h"

summary
