#!/usr/bin/env bash
# Settings, About and the tray menu as a keyboard-only and screen reader user
# meets them: real key events, what AT-SPI reports (a11y-check.py), and the
# stored state read back through `ventrel list`. The mouse only opens the tray
# menu, which has no keyboard way in.
# Usage (under with-desktop.sh --size 1920x1080): a11y_e2e.sh VENTREL_BINARY
# With VENTREL_A11Y_SHOTS=DIR it leaves screenshots of the focused states there.
set -euo pipefail
ventrel=$1
. "$VENTREL_E2E_LIB"
. "$(dirname "$0")/tray-lib.sh"

failures=0
passes=0
check() { # check DESCRIPTION EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then passes=$((passes + 1)); echo "PASS: $1"
  else failures=$((failures + 1)); echo "FAIL: $1: expected [$2], got [$3]"; fi
}
at() { /usr/bin/python3 "$(dirname "$0")/a11y-check.py" "$@"; }
focused_name() { at focus | cut -d'|' -f2; }
focus_is() { [ "$(focused_name)" = "$1" ]; }
# press NAME KEY...: the keys, then the wait until NAME has the focus.
press() { local want=$1; shift; xdotool key "$@"; wait_for 5 focus_is "$want" || true; }
# The presets as `ventrel list` prints them: "name:shown,name:hidden,...".
presets() {
  "$ventrel" list | sed -n '/^Presets:/,/^Snap/{/:$/d;p}' |
    sed -E 's/^ +(.*[^ ]) +[0-9]+×[0-9]+ +([a-z]+)$/\1:\2/' | paste -sd, -
}
presets_are() { [ "$(presets)" = "$1" ]; }
shot() { [ -z "${VENTREL_A11Y_SHOTS:-}" ] || import -window root "$VENTREL_A11Y_SHOTS/$1.png"; }
gone() { ! has_window_named "$1"; }

read -r screen_w screen_h <<<"${VENTREL_E2E_SCREEN/x/ }"
client=$(start_client 600x400+200+150 a11y-client)
a11y_session
"$ventrel" >"$VENTREL_E2E_DIR/app.out" 2>"$VENTREL_E2E_DIR/app.err" &
app=$!
trap 'kill $app 2>/dev/null || true; a11y_end' EXIT
wait_for 10 tray_icon_placed || { echo "FAIL: the icon never reached the tray"; exit 1; }
order="Desktop App:shown,Full HD:shown,Web Demo:shown,HD Video:shown,Compact:shown"

# General: a frame with its title, headings, described check boxes, no
# unnamed stop between the sidebar and the first control.
"$ventrel" # a second launch opens Settings in the first
wait_for 5 focus_is General || true
check "Settings opens with the sidebar focused" "list item|General||" "$(at focus)"
check "the General pane passes the audit" "" "$(at audit Settings || true)"
check "group titles are headings" "heading" "$(at object Startup | cut -d'|' -f1)"
press "Launch at Login" Tab
check "Tab goes from the sidebar straight to the first control" "Launch at Login" "$(focused_name)"
shot general-checkbox

# Presets: reading order, keyboard reordering, named toggles, kept focus.
press General shift+Tab
press Presets Down
wait_for 5 at object "Add Preset" || true
check "the Presets pane passes the audit" "" "$(at audit Settings || true)"
press "Web Demo, 1200 × 800" Tab
check "Tab goes on to the first row" "Web Demo, 1200 × 800" "$(focused_name)"
shot presets-row
xdotool key alt+Down alt+Down
wait_for 5 presets_are "$order" || true
check "Alt+Down twice moves the row two places" "$order" "$(presets)"
wait_for 5 focus_is "Web Demo, 1200 × 800" || true
check "the moved row keeps the focus" "list item|Web Demo, 1200 × 800||" "$(at focus)"
xdotool key alt+Up
wait_for 5 presets_are "Desktop App:shown,Web Demo:shown,Full HD:shown,HD Video:shown,Compact:shown" || true
check "Alt+Up moves it back one place" \
  "Desktop App:shown,Web Demo:shown,Full HD:shown,HD Video:shown,Compact:shown" "$(presets)"
xdotool key alt+Down
wait_for 5 presets_are "$order" || true
press "Hide Desktop App from menu" Tab
check "the eye after the list is the first row's, checked" "push button|Hide Desktop App from menu|Hide from menu|checked" "$(at focus)"
shot presets-eye
xdotool key space
wait_for 5 presets_are "${order/Desktop App:shown/Desktop App:hidden}" || true
check "Space hides the preset" "Desktop App:hidden" "$(presets | cut -d, -f1)"
wait_for 5 focus_is "Show Desktop App in menu" || true
check "the focus stays on the eye, now unchecked" "push button|Show Desktop App in menu|Show in menu|" "$(at focus)"
check "the hidden row says so" "list item|Desktop App, 1440 × 900|hidden|" "$(at object "Desktop App, 1440 × 900")"
shot presets-hidden-eye
press "Show Desktop App in menu" space
wait_for 5 presets_are "$order" || true
check "Space shows it again" "Desktop App:shown" "$(presets | cut -d, -f1)"
press "Hide Compact from menu" Tab Tab Tab Tab
press "Add Preset" Tab
check "the last eye leads to Add Preset" "Add Preset" "$(focused_name)"
shot add-preset-button

# The add form: labelled fields, range error announced, Return, Escape.
press Name space
check "the form opens on its labelled name field" "text|Name|Name|" "$(at focus)"
xdotool type --delay 20 "Square"
xdotool key Tab type --delay 20 "1000"
xdotool key Tab type --delay 20 "50"
range="Width and height must be between 100 and 10000 pixels."
wait_for 5 at object "$range" || true
check "an out-of-range size says why, as an alert" "alert" "$(at object "$range" | cut -d'|' -f1)"
shot add-form-range
xdotool key BackSpace BackSpace type --delay 20 "900"
wait_for 5 bash -c "! /usr/bin/python3 '$(dirname "$0")/a11y-check.py' object '$range'" || true
xdotool key Return
wait_for 5 bash -c "'$ventrel' list | grep -q Square" || true
check "Return adds the preset" "Square:shown" "$(presets | tr , '\n' | grep Square || true)"
wait_for 5 focus_is "Add Preset" || true
check "closing the form returns the focus to Add Preset" "Add Preset" "$(focused_name)"
press Name space
xdotool type --delay 20 "square"
xdotool key Tab type --delay 20 "1000"
xdotool key Tab type --delay 20 "900"
xdotool key Return
duplicate="A preset with this name already exists."
wait_for 5 at object "$duplicate" || true
check "a duplicate name is refused, as an alert" "alert" "$(at object "$duplicate" | cut -d'|' -f1)"
press "Add Preset" Escape
check "Escape closes the form onto Add Preset" "Add Preset" "$(focused_name)"
check "the form is closed" "" "$(at object "New Preset" || true)"
press "Delete Square" shift+Tab
check "Shift+Tab from Add Preset reaches the last row's delete" "Delete Square" "$(focused_name)"
check "the Presets pane with a custom preset passes the audit" "" "$(at audit Settings || true)"
shot delete-button
xdotool key space
wait_for 5 bash -c "! '$ventrel' list | grep -q Square" || true
check "Space deletes the preset" "$order" "$(presets)"
wait_for 5 focus_is "Compact, 800 × 600" || true
check "the focus goes to the row now in its place" "list item|Compact, 800 × 600||" "$(at focus)"

# Snap Positions: a named list of rows with their toggles.
press Presets shift+Tab
press "Snap Positions" Down
wait_for 5 at object "Hide Left Half from menu" || true
check "the Snap Positions pane passes the audit" "" "$(at audit Settings || true)"
press "Hide Left Half from menu" Tab
press "Show Left Half in menu" space
check "a snap position's eye keeps the focus, unchecked" "push button|Show Left Half in menu|Show in menu|" "$(at focus)"
check "the position is hidden" "hidden" "$("$ventrel" list | sed -n 's/^ *leftHalf .* \([a-z]*\)$/\1/p')"
shot snap-hidden-eye
press "Hide Left Half from menu" space
xdotool key ctrl+w
wait_for 5 gone Settings || true
check "Ctrl+W closes Settings" yes "$(gone Settings && echo yes || echo no)"

# The tray menu: its first item is announced on opening, and its key
# equivalents work while it is open.
read -r icon_x icon_y <<<"$(tray_icon_geometry)"
open_menu() { at menu-focus xdotool mousemove $((icon_x + 8)) $((icon_y + 8)) click 3; }
check "the opened menu announces its first item" "1440×900 - Desktop App" "$(open_menu || true)"
xdotool key Up Up Return # from the first item: Quit, then About
wait_for 5 has_window_named "About Ventrel" || true
check "About is a dialog with its title, and passes the audit" "" "$(at audit "About Ventrel" || true)"
xdotool key Escape
wait_for 5 gone "About Ventrel" || true
check "Escape closes About" yes "$(gone "About Ventrel" && echo yes || echo no)"
open_menu >/dev/null || true
xdotool key Up Up Return
wait_for 5 has_window_named "About Ventrel" || true
press ventrel.app Tab
check "Tab reaches About's link" "ventrel.app" "$(focused_name)"
shot about-link
xdotool key ctrl+w
wait_for 5 gone "About Ventrel" || true
check "Ctrl+W closes About" yes "$(gone "About Ventrel" && echo yes || echo no)"

open_menu >/dev/null || true
xdotool key ctrl+comma
wait_for 5 has_window_named Settings || true
check "Ctrl+, with the menu open opens Settings" yes "$(has_window_named Settings && echo yes || echo no)"
xdotool key ctrl+w
wait_for 5 gone Settings || true

wmctrl -i -a "$client"
wait_for 5 bash -c '[ "$(xprop -root _NET_ACTIVE_WINDOW | sed -n "s/.*# //p")" = "'"$client"'" ]' || true
open_menu >/dev/null || true
xdotool key ctrl+3
wait_for 5 bash -c '. "$VENTREL_E2E_LIB"; frame_geometry '"$client"' | grep -q " 1200 800$"' || true
read -r _ _ w h <<<"$(frame_geometry "$client")"
check "Ctrl+3 with the menu open gives the third preset, Web Demo, 1200x800" "1200 800" "$w $h"
# A click on the icon just after a resize from the menu is lost (so it is
# with Return on a preset too), so this waits for the menu to open at all.
wait_for 16 open_menu || true
xdotool key ctrl+q
status=0
wait "$app" || status=$?
trap a11y_end EXIT
check "Ctrl+Q with the menu open quits with status 0" 0 "$status"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
