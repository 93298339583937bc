#!/usr/bin/env bash
# The tray app end to end: the icon in a real tray, its menu driven with a
# real pointer and keyboard, the window it acts on read back from the server.
# Usage (under with-desktop.sh --size 1920x1080): tray_e2e.sh VENTREL_BINARY
set -euo pipefail
. "$VENTREL_E2E_LIB"
. "$(dirname "$0")/tray-lib.sh"

read -r screen_w screen_h <<<"${VENTREL_E2E_SCREEN/x/ }"
client=$(start_client 600x400+200+150 tray-client)
a11y_session
start_app "$1"
check "no message when a tray is running" "" "$(cat "$VENTREL_E2E_DIR/app.err")"

item=$(open_tray_menu 3 "1440×900 - Desktop App")
check "opening the menu keeps the client active" "$client" "$(active_window)"
choose $item
eventually "Desktop App gives the outer size 1440x900" "1440 900" frame_size "$client"

item=$(open_tray_menu 1 "Snap Position") # the left button opens the same menu
choose $(open_submenu $item "Left Half")
work_h=$((screen_h - VENTREL_E2E_PANEL_HEIGHT))
eventually "Left Half fills the left of the work area" "0 0 $((screen_w / 2)) $work_h" frame_geometry "$client"

# Settings from the menu: add a preset through the form, then apply it from the menu.
choose $(open_tray_menu 3 "Settings...")
wait_for 5 has_window_named Settings || { echo "FAIL: Settings... opened no window"; exit 1; }
click_item "Presets"
add_preset Square 1000 900
stored() { grep -q 'Square' "$XDG_CONFIG_HOME/Ventrel/Ventrel.conf"; }
eventually "the form stored the new preset" yes holds stored
wmctrl -F -c Settings
wmctrl -i -a "$client" # the user goes back to their window
wait_for 5 reads "$client" active_window || true
choose $(open_tray_menu 3 "1000×900 - Square")
eventually "the new preset is in the tray menu and applies 1000x900" "1000 900" frame_size "$client"

summary
