# Shell helpers for driving the tray app on a with-desktop.sh desktop; source
# it after "$VENTREL_E2E_LIB". Waits poll the X server, never fixed sleeps.

# check DESCRIPTION EXPECTED ACTUAL: one check of a suite, counted;
# summary: the counts, and whether every check passed.
passes=0
failures=0
check() {
  if [ "$2" = "$3" ]; then passes=$((passes + 1)); echo "PASS: $1"
  else failures=$((failures + 1)); echo "FAIL: $1: expected [$2], got [$3]"; fi
}
summary() { echo "$passes passed, $failures failed"; [ "$failures" -eq 0 ]; }
# eventually DESCRIPTION EXPECTED COMMAND...: the check, once COMMAND prints
# EXPECTED or five seconds have passed; holds COMMAND... prints yes or no,
# frame_size WINDOW the frame's "width height".
reads() { [ "$("${@:2}" 2>/dev/null)" = "$1" ]; }
eventually() { wait_for 5 reads "$2" "${@:3}" || true; check "$1" "$2" "$("${@:3}" 2>/dev/null)"; }
holds() { "$@" && echo yes || echo no; }
frame_size() { frame_geometry "$1" | cut -d' ' -f3-; }
# activate WINDOW: makes it the active window, as the user going back to it.
activate() { wmctrl -i -a "$1"; wait_for 5 reads "$1" active_window || true; }

# start_app VENTREL: the tray app in the background as $app, once its icon is in the tray.
start_app() {
  "$1" >"$VENTREL_E2E_DIR/app.out" 2>"$VENTREL_E2E_DIR/app.err" &
  app=$!
  wait_for 10 tray_icon_placed || { echo "FAIL: the icon never reached the tray"; exit 1; }
}

# tray_icon_geometry: "x y" of our icon inside the tray, once trayer has
# embedded and placed it (its position reads 0,0 until then).
tray_icon_geometry() {
  local line
  line=$(xwininfo -root -tree | grep '("ventrel" "Ventrel")' | grep ' 22x\| [0-9]*x[0-9]*+0+0' | head -n1)
  sed -n 's/.*[0-9]x[0-9]*+-\{0,1\}[0-9]*+-\{0,1\}[0-9]* *+\([0-9]*\)+\([0-9]*\) *$/\1 \2/p' <<<"$line" |
    awk '$1 != 0 || $2 != 0'
}

tray_icon_placed() { [ -n "$(tray_icon_geometry)" ]; }

# menu_open: true while one of our popup menus is mapped (an override-redirect
# window of ours other than the icon itself).
menu_open() {
  local w info width
  for w in $(xdotool search --onlyvisible --class ventrel 2>/dev/null); do
    info=$(xwininfo -id "$w" 2>/dev/null) || continue
    width=$(sed -n 's/^ *Width: *\([0-9]*\).*/\1/p' <<<"$info")
    grep -q 'Override Redirect State: yes' <<<"$info" && [ "${width:-0}" -gt 60 ] && return 0
  done
  return 1
}

# at COMMAND ARGUMENTS...: what a screen reader finds (a11y-check.py): "where
# NAME" is the "x y" of the object called NAME; "menu-item NAME CMD..." that
# of the item in the menu CMD opens.
at() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/a11y-check.py" "$@"; }

# open_tray_menu BUTTON ITEM: clicks the icon with that button and, once the
# menu shows, prints where its item ITEM is ("x y").
open_tray_menu() {
  local x y
  read -r x y <<<"$(tray_icon_geometry)"
  at menu-item "$2" xdotool mousemove $((x + 8)) $((y + 8)) click "$1" ||
    { echo "the tray menu did not open with \"$2\" in it" >&2; return 1; }
}

# choose X Y: clicks the menu item there and waits for the menu to close.
choose() {
  xdotool mousemove "$1" "$2" click 1
  wait_for 5 eval '! menu_open'
}

# a11y_session: a private session bus with the accessibility bus on it, for
# apps started afterwards; Qt then shows its widgets to screen readers, and
# the tests find menu items and buttons by their names as one does. When the
# suite ends, the buses go, and the app ($app) and a tray ($tray).
a11y_session() {
  local out
  out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
  export DBUS_SESSION_BUS_ADDRESS=${out%%$'\n'*}
  A11Y_PIDS=${out##*$'\n'}
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  A11Y_PIDS="$A11Y_PIDS $!"
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  trap 'kill ${app:-} ${tray:-} 2>/dev/null || true; kill $A11Y_PIDS 2>/dev/null || true' EXIT
}

# click_item NAME: clicks the object of that name in our windows once it shows.
click_item() {
  wait_for 5 at where "$1" || { echo "no \"$1\" is shown" >&2; return 1; }
  xdotool mousemove $(at where "$1") click 1
}

# has_window_named TITLE: whether a top-level window with that WM_NAME is mapped.
has_window_named() { [ -n "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)" ]; }
