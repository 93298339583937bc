#!/usr/bin/env bash
# The tray app end to end: the icon in a real tray, its menu driven with a
# real pointer, the window it acts on read back from the server. Settings
# reached from the menu are the keyboard and shortcut suites' own.
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

summary
