#!/usr/bin/env bash
# The tray app end to end, by a real pointer and real key events: the icon in
# a real tray and its menu; a preset added in Settings, and global shortcuts
# assigned there, pressed after a restart with another program's window
# focused, and with Num Lock on. Every window it acts on is read back from the server.
# Usage (under with-desktop.sh --size 1920x1080): tray_e2e.sh VENTREL_BINARY
set -euo pipefail
ventrel=$1
. "$VENTREL_E2E_LIB"
. "$(dirname "$0")/tray-lib.sh"

stored() { grep -q "$1" "$XDG_CONFIG_HOME/Ventrel/Ventrel.conf"; }
# record ROW KEYS: clicks the row's shortcut field, found by its name as a
# screen reader finds it, and types the combination.
record() { click_item "Shortcut for $1" && xdotool key "$2"; }

read -r screen_w screen_h <<<"${VENTREL_E2E_SCREEN/x/ }"
work_h=$((screen_h - VENTREL_E2E_PANEL_HEIGHT))
half=$((screen_w / 2))
client=$(start_client 600x400+200+150 tray-client)
a11y_session
start_app "$ventrel"
check "no message when a tray is running" "" "$(cat "$VENTREL_E2E_DIR/app.err")"

item=$(open_tray_menu 3 "1440×900 - Desktop App")
check "opening the menu keeps the client active" "$client" "$(active_window)"
choose $item
eventually "Desktop App gives the outer size 1440x900" "1440 900" frame_size "$client"
item=$(open_tray_menu 1 "Snap Position") # the left button opens the same menu
choose $(at menu-item "Left Half" xdotool mousemove $item click 1)
eventually "Left Half fills the left of the work area" "0 0 $half $work_h" frame_geometry "$client"

# Settings from the menu: a preset added through the form, shortcuts typed into the panes.
choose $(open_tray_menu 3 "Settings...")
wait_for 5 has_window_named Settings || { echo "FAIL: Settings... opened no window"; exit 1; }
click_item "Presets"
click_item "Add Preset"
wait_for 5 at where "Add" # the form is open, its name field focused
xdotool type --delay 20 "Square"
xdotool key Tab type --delay 20 "1000"
xdotool key Tab type --delay 20 "900"
click_item "Add"
eventually "the form stored the new preset" yes holds stored Square
record Square ctrl+alt+s
click_item "Snap Positions" # (Ctrl+Alt+arrows are openbox's own)
record "Left Half" ctrl+alt+h
record "Right Half" ctrl+alt+l
wmctrl -F -c Settings
activate "$client"
choose $(open_tray_menu 3 "1000×900 - Square")
eventually "the new preset is in the tray menu and applies 1000x900" "1000 900" frame_size "$client"

# The shortcuts as stored, from the next start.
kill $app; wait $app 2>/dev/null || true
start_app "$ventrel"
activate "$client"
xdotool key ctrl+alt+h
eventually "Ctrl+Alt+H snaps the focused client to the left half" "0 0 $half $work_h" frame_geometry "$client"
check "the client keeps the focus" "$client" "$(active_window)"
xdotool key ctrl+alt+s
eventually "Ctrl+Alt+S applies Square" "1000 900" frame_size "$client"

xdotool key Num_Lock
xdotool key ctrl+alt+l
eventually "with Num Lock on, Ctrl+Alt+L snaps right" "$((screen_w - half)) 0 $half $work_h" frame_geometry "$client"
xdotool key Num_Lock
summary
