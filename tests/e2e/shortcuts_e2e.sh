#!/usr/bin/env bash
# Global shortcuts on X11 end to end, by real key events only: assigned in the
# Settings panes, pressed with another program's window focused, with Num Lock
# on, after a keyboard mapping change, while another program holds the keys,
# and after the preset they belong to is deleted.
# Usage (under with-desktop.sh): shortcuts_e2e.sh VENTREL_BINARY KEY_HOLDER
set -euo pipefail
ventrel=$1
holder_bin=$2
. "$VENTREL_E2E_LIB"
. "$(dirname "$0")/tray-lib.sh"

stored() { grep -q "$1" "$XDG_CONFIG_HOME/Ventrel/Ventrel.conf"; }
frame_is() { [ "$(frame_geometry "$client")" = "$1" ]; }
size_is() { frame_geometry "$client" | grep -q " $1\$"; }
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
to_client() {
  wmctrl -i -a "$client"
  wait_for 5 bash -c '[ "$(. "$VENTREL_E2E_LIB"; active_window)" = '"$client"' ]'
}

read -r screen_w screen_h <<<"${VENTREL_E2E_SCREEN/x/ }"
work_h=$((screen_h - VENTREL_E2E_PANEL_HEIGHT))
half=$((screen_w / 2))

client=$(start_client 600x400+200+150 shortcut-client)
a11y_session
start_app() {
  "$ventrel" >"$VENTREL_E2E_DIR/app.out" 2>"$VENTREL_E2E_DIR/app.err" &
  app=$!
  wait_for 10 tray_icon_placed || { echo "FAIL: the icon never reached the tray"; exit 1; }
}
holder=
trap 'kill $app $holder 2>/dev/null || true; a11y_end' EXIT
start_app

"$ventrel" # opens Settings in the running instance
wait_for 5 has_window_named Settings || { echo "FAIL: no Settings window"; exit 1; }
click_item "Presets"
click_item "Add Preset"
wait_for 5 a11y_find "Add"
xdotool type --delay 20 "Square"
xdotool key Tab type --delay 20 "700"
xdotool key Tab type --delay 20 "500"
click_item "Add"
wait_for 5 field_at "Square" || true
record Square ctrl+alt+s
click_item "Snap Positions" # (Ctrl+Alt+arrows are openbox's own)
wait_for 5 field_at "Left Half" || true
record "Left Half" ctrl+alt+h
record "Right Half" ctrl+alt+l
record "Top Half" ctrl+alt+k
all_stored() { stored 'leftHalf\\":\\"Ctrl+Alt+H' && stored 'topHalf\\":\\"Ctrl+Alt+K' && stored '\\":\\"Ctrl+Alt+S'; }
wait_for 5 all_stored || true
check "the shortcuts typed into the panes are stored" yes "$(all_stored && echo yes || echo no)"

# Next time, another program holds Ctrl+Alt+K before we ask for it.
kill $app; wait $app 2>/dev/null || true
coproc HOLD { exec "$holder_bin" 006b 0x0c; }
holder=$HOLD_PID
read -r answer <&"${HOLD[0]}"
check "the other program holds Ctrl+Alt+K" held "$answer"
start_app
said_taken() { grep -q "shortcut Ctrl+Alt+K for Top Half is taken: Another program is using this combination." "$VENTREL_E2E_DIR/app.err"; }
wait_for 5 said_taken || true
check "a combination another program holds is reported as taken" yes "$(said_taken && echo yes || echo no)"

to_client
xdotool key ctrl+alt+h
wait_for 5 frame_is "0 0 $half $work_h" || true
check "Ctrl+Alt+H snaps the focused client to the left half" "0 0 $half $work_h" "$(frame_geometry "$client")"
check "the client keeps the focus" "$client" "$(active_window)"
xdotool key ctrl+alt+s
wait_for 5 size_is "700 500" || true
check "Ctrl+Alt+S applies Square" yes "$(size_is "700 500" && echo yes || echo no)"

xdotool key Num_Lock
xdotool key ctrl+alt+l
wait_for 5 frame_is "$((screen_w - half)) 0 $half $work_h" || true
check "with Num Lock on, Ctrl+Alt+L snaps right" "$((screen_w - half)) 0 $half $work_h" "$(frame_geometry "$client")"
xdotool key Num_Lock

# The other program lets go: the kept shortcut starts working.
kill "$holder"; wait "$holder" 2>/dev/null || true; holder=
top_half() { xdotool key ctrl+alt+k; frame_is "0 0 $screen_w $((work_h / 2))"; }
wait_for 5 top_half || true
check "once freed, Ctrl+Alt+K snaps to the top half" "0 0 $screen_w $((work_h / 2))" "$(frame_geometry "$client")"

# S moves to another key: the grab must follow it there.
s_code=$(xmodmap -pke | awk '$4 == "s" && !n++ {print $2}')
t_code=$(xmodmap -pke | awk '$4 == "t" && !n++ {print $2}')
xmodmap -e "keycode $s_code = t T" -e "keycode $t_code = s S"
square_after_remap() { xdotool key ctrl+alt+s; size_is "700 500"; }
wait_for 5 square_after_remap || true
check "after a mapping change Ctrl+Alt+S still applies Square" yes "$(size_is "700 500" && echo yes || echo no)"
xmodmap -e "keycode $s_code = s S" -e "keycode $t_code = t T"

# A deleted preset's shortcut is let go: another program can take it.
"$ventrel"
wait_for 5 has_window_named Settings || { echo "FAIL: no Settings window"; exit 1; }
click_item "Presets"
wait_for 5 field_at Square || true
read -r x y <<<"$(a11y_find "Delete Square")"
xdotool mousemove "$x" "$y" click 1
wait_for 5 bash -c '! grep -q Square "$XDG_CONFIG_HOME/Ventrel/Ventrel.conf"' || true
wait_for 5 free 0073 0x0c || true
check "a deleted preset's combination is free again" yes "$(free 0073 0x0c && echo yes || echo no)"
check "its shortcut is gone from the settings file" no "$(stored "Ctrl+Alt+S" && echo yes || echo no)"

kill $app; wait $app 2>/dev/null || true
trap - EXIT
a11y_end
summary
