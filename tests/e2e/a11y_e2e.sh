#!/usr/bin/env bash
# Settings, About and the tray menu as a keyboard-only and screen reader user
# meets them: real key events, what AT-SPI reports (a11y-check.py), and the
# stored state read back through `ventrel list`. The mouse only opens the tray
# menu, which has no keyboard way in.
# Usage (under with-desktop.sh --size 1920x1080): a11y_e2e.sh VENTREL_BINARY
set -euo pipefail
ventrel=$1
. "$VENTREL_E2E_LIB"
. "$(dirname "$0")/tray-lib.sh"

# keys DESCRIPTION FOCUS KEY...: the keys, then the focused object must read FOCUS ("role|name|description|checked").
keys() { [ $# -lt 3 ] || xdotool key "${@:3}"; eventually "$1" "$2" at focus; }
# The presets as `ventrel list` prints them: "name:shown,name:hidden,...".
presets() {
  "$ventrel" list | sed -n '/^Presets:/,/^Snap/{/:$/d;p}' | sed -E 's/^ +(.*[^ ]) +[0-9]+×[0-9]+ +([a-z]+)$/\1:\2/' | paste -sd, -
}
stored() { eventually "$1" "$2" presets; }
window() { eventually "$1" "$2" holds has_window_named "$3"; }
row() { echo "list item|$1||"; }
eye() { if [ "$2" = shown ]; then echo "push button|Hide $1 from menu|Hide from menu|checked"; else echo "push button|Show $1 in menu|Show in menu|"; fi; }

a11y_session
start_app "$ventrel"

"$ventrel" # a second launch opens Settings, on General, in the first
keys "Settings opens with the sidebar focused" "$(row General)"
check "General: a frame with its title, named controls, described check boxes" "" "$(at audit Settings)"
keys "the scroll area is no Tab stop" "check box|Launch at Login|Automatically start Ventrel when you log in.|" Tab
keys "Shift+Tab and Down select Presets" "$(row Presets)" shift+Tab Down
keys "Tab goes on to the list's first row" "$(row "Web Demo, 1200 × 800")" Tab
order="Desktop App:shown,Full HD:shown,Web Demo:shown,HD Video:shown,Compact:shown"
keys "the row moved by Alt+Down keeps the focus" "$(row "Web Demo, 1200 × 800")" alt+Down alt+Down
stored "Alt+Down twice moves the row two places" "$order"
xdotool key alt+Up
stored "Alt+Up moves it back one place" "Desktop App:shown,Web Demo:shown,Full HD:shown,HD Video:shown,Compact:shown"
xdotool key alt+Down
stored "and Alt+Down once more" "$order"
keys "the first row's eye comes next, checked" "$(eye "Desktop App" shown)" Tab
keys "Space hides the preset; the focus stays on its eye" "$(eye "Desktop App" hidden)" space
stored "the preset is hidden" "${order/Desktop App:shown/Desktop App:hidden}"
check "the hidden row says so" "list item|Desktop App, 1440 × 900|hidden|" "$(at object "Desktop App, 1440 × 900")"
keys "Space shows it again" "$(eye "Desktop App" shown)" space
keys "then its shortcut field" "push button|Shortcut for Desktop App|No shortcut|" Tab
keys "Tab follows the rows in reading order" "$(eye Compact shown)" Tab Tab Tab Tab Tab Tab Tab
keys "and then reaches Add Preset" "push button|Add Preset||" Tab Tab

keys "the form opens on its labelled name field" "text|Name|Name|" space
xdotool type --delay 20 "Square"
xdotool key Tab type --delay 20 "1000"
xdotool key Tab type --delay 20 "50"
range="Width and height must be between 100 and 10000 pixels."
eventually "an out-of-range size says why, as an alert" "alert|$range||" at object "$range"
xdotool key BackSpace BackSpace type --delay 20 "900"
wait_for 5 reads "" at object "$range" || true
keys "Return adds; the focus returns to Add Preset" "push button|Add Preset||" Return
keys "the form opens again" "text|Name|Name|" space
xdotool type --delay 20 "square"
xdotool key Tab type --delay 20 "1000"
xdotool key Tab type --delay 20 "900"
xdotool key Return
eventually "a duplicate name is refused, as an alert" "alert|A preset with this name already exists.||" at object "A preset with this name already exists."
keys "Escape closes the form onto Add Preset" "push button|Add Preset||" Escape
keys "Shift+Tab reaches the last row's controls" "push button|Delete Square|Delete preset|" shift+Tab shift+Tab
check "Presets: named, unique controls" "" "$(at audit Settings)"
keys "Space deletes; the focus goes to the row in its place" "$(row "Compact, 800 × 600")" space
stored "the preset is gone" "$order"

keys "Shift+Tab goes from the list to the sidebar" "$(row Presets)" shift+Tab
keys "Down selects Snap Positions" "$(row "Snap Positions")" Down
check "Snap Positions: named, unique controls" "" "$(at audit Settings)"
keys "Tab goes to the first eye" "$(eye "Left Half" shown)" Tab
keys "Space hides the position; the focus stays" "$(eye "Left Half" hidden)" space
check "the position is hidden" hidden "$("$ventrel" list | sed -n 's/^ *leftHalf .* \([a-z]*\)$/\1/p')"
xdotool key ctrl+w
window "Ctrl+W closes Settings" no Settings

read -r icon_x icon_y <<<"$(tray_icon_geometry)"
# Two clicks on one spot within the double-click time are a double click,
# which opens no menu: each opening clicks 10 px away from the last.
opened=0
open_menu() {
  local d=$((opened++ % 2 * 10 + 4))
  at menu-focus xdotool mousemove $((icon_x + d)) $((icon_y + d)) click 3
}
open_menu >"$VENTREL_E2E_DIR/announced" || true
check "the opened menu announces its first item" "1440×900 - Desktop App" "$(cat "$VENTREL_E2E_DIR/announced")"
xdotool key Up Up Return # from the first item: Quit, then About
window "Up, Up, Return opens About" yes "About Ventrel"
check "About: a dialog with its title, named controls" "" "$(at audit "About Ventrel")"
xdotool key Escape
window "Escape closes About" no "About Ventrel"
open_menu >/dev/null || true
xdotool key ctrl+comma
window "Ctrl+, with the menu open opens Settings" yes Settings
xdotool key ctrl+w
open_menu >/dev/null || true
xdotool key ctrl+q
quit() { ! kill -0 "$app" 2>/dev/null; }
wait_for 10 quit || true
status=running
quit && { status=0; wait "$app" || status=$?; }
check "Ctrl+Q with the menu open quits with status 0" 0 "$status"

summary
