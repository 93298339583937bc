#!/usr/bin/env bash
# The tray app end to end, by a real pointer and real key events: the icon in
# a real tray and its menu; a preset added in Settings, and global shortcuts
# assigned there, pressed with another program's window focused, with Num Lock
# on, after a keyboard mapping change, while another program holds the keys,
# and after the preset they belong to is deleted. Every window it acts on is
# read back from the server.
# Usage (under with-desktop.sh --size 1920x1080): tray_e2e.sh VENTREL_BINARY KEY_HOLDER
set -euo pipefail
ventrel=$1
holder_bin=$2
. "$VENTREL_E2E_LIB"
. "$(dirname "$0")/tray-lib.sh"

stored() { grep -q "$1" "$XDG_CONFIG_HOME/Ventrel/Ventrel.conf"; }
# A row's field, found by its name as a screen reader finds it.
field_at() { a11y_find "Shortcut for $1"; }
# record ROW KEYS: clicks the row's field and types the combination. The
# keys reach the field after the click, as they go to the same window.
record() {
  local x y
  read -r x y <<<"$(field_at "$1")"
  xdotool mousemove "$x" "$y" click 1 key "$2"
}
# free KEYSYM MODIFIERS: whether another program could take the combination now.
free() { [ "$(timeout 5 "$holder_bin" "$1" "$2" </dev/null)" = held ]; }

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
choose $(open_submenu $item "Left Half")
eventually "Left Half fills the left of the work area" "0 0 $half $work_h" frame_geometry "$client"

# Settings from the menu: a preset added through the form, shortcuts typed into the panes.
choose $(open_tray_menu 3 "Settings...")
wait_for 5 has_window_named Settings || { echo "FAIL: Settings... opened no window"; exit 1; }
click_item "Presets"
click_item "Add Preset"
wait_for 5 a11y_find "Add" # the form is open, its name field focused
xdotool type --delay 20 "Square"
xdotool key Tab type --delay 20 "1000"
xdotool key Tab type --delay 20 "900"
click_item "Add"
eventually "the form stored the new preset" yes holds stored Square
wait_for 5 field_at "Square" || true
record Square ctrl+alt+s
click_item "Snap Positions" # (Ctrl+Alt+arrows are openbox's own)
wait_for 5 field_at "Left Half" || true
record "Left Half" ctrl+alt+h
record "Right Half" ctrl+alt+l
record "Top Half" ctrl+alt+k
all_stored() { stored 'leftHalf\\":\\"Ctrl+Alt+H' && stored 'topHalf\\":\\"Ctrl+Alt+K' && stored '\\":\\"Ctrl+Alt+S'; }
eventually "the shortcuts typed into the panes are stored" yes holds all_stored
wmctrl -F -c Settings
wmctrl -i -a "$client" # the user goes back to their window
wait_for 5 reads "$client" active_window || true
choose $(open_tray_menu 3 "1000×900 - Square")
eventually "the new preset is in the tray menu and applies 1000x900" "1000 900" frame_size "$client"

# Next time, another program holds Ctrl+Alt+K before we ask for it.
kill $app; wait $app 2>/dev/null || true
coproc HOLD { exec "$holder_bin" 006b 0x0c; }
holder=$HOLD_PID
read -r answer <&"${HOLD[0]}"
check "the other program holds Ctrl+Alt+K" held "$answer"
start_app "$ventrel"
said_taken() { grep -q "shortcut Ctrl+Alt+K for Top Half is taken: Another program is using this combination." "$VENTREL_E2E_DIR/app.err"; }
eventually "a combination another program holds is reported as taken" yes holds said_taken

wmctrl -i -a "$client"
wait_for 5 reads "$client" active_window || true
xdotool key ctrl+alt+h
eventually "Ctrl+Alt+H snaps the focused client to the left half" "0 0 $half $work_h" frame_geometry "$client"
check "the client keeps the focus" "$client" "$(active_window)"
xdotool key ctrl+alt+s
eventually "Ctrl+Alt+S applies Square" "1000 900" frame_size "$client"

xdotool key Num_Lock
xdotool key ctrl+alt+l
eventually "with Num Lock on, Ctrl+Alt+L snaps right" "$((screen_w - half)) 0 $half $work_h" frame_geometry "$client"
xdotool key Num_Lock

# The other program lets go: the kept shortcut starts working.
kill "$holder"; wait "$holder" 2>/dev/null || true; holder=
top_half() { xdotool key ctrl+alt+k; frame_geometry "$client"; }
eventually "once freed, Ctrl+Alt+K snaps to the top half" "0 0 $screen_w $((work_h / 2))" top_half

# S moves to another key: the grab must follow it there.
s_code=$(xmodmap -pke | awk '$4 == "s" && !n++ {print $2}')
t_code=$(xmodmap -pke | awk '$4 == "t" && !n++ {print $2}')
xmodmap -e "keycode $s_code = t T" -e "keycode $t_code = s S"
square_after_remap() { xdotool key ctrl+alt+s; frame_size "$client"; }
eventually "after a mapping change Ctrl+Alt+S still applies Square" "1000 900" square_after_remap
xmodmap -e "keycode $s_code = s S" -e "keycode $t_code = t T"

# A deleted preset's shortcut is let go: another program can take it.
"$ventrel"
wait_for 5 has_window_named Settings || { echo "FAIL: no Settings window"; exit 1; }
click_item "Presets"
click_item "Delete Square"
eventually "its shortcut is gone from the settings file" no holds stored "Ctrl+Alt+S"
eventually "a deleted preset's combination is free again" yes holds free 0073 0x0c
summary
