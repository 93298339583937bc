#!/usr/bin/env bash
# `ventrel` from the command line in a KWin Wayland session (under
# with-kwin.sh): what --json reports as achieved must be what KWin and, for
# Xwayland windows, the X server say the window got.
# Usage: kwin_commandline_e2e.sh VENTREL_BINARY
set -uo pipefail
ventrel=$1
. "$VENTREL_E2E_LIB"
passes=0 failures=0
check() { # DESCRIPTION EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then passes=$((passes + 1)); else failures=$((failures + 1)); echo "FAIL: $1: expected [$2], got [$3]"; fi
}
achieved() { sed -n 's/.*"achieved":{"height":\([0-9]*\),"width":\([0-9]*\),"x":\(-*[0-9]*\),"y":\(-*[0-9]*\)}.*/\3 \4 \2 \1/p'; }
nothing_focused() { grep -q 'No active window' <<<"$("$ventrel" snap leftHalf 2>&1)"; }
found() { ! nothing_focused; }
gtk() { # TITLE [MODE]: a native Wayland window; waits until ventrel finds it
  GDK_BACKEND=wayland "$(dirname "$0")/gtk_window.py" "$@" >/dev/null 2>&1 &
  wait_for 10 found
}

xwin=$(start_client 500x300+300+200 xwayland-client) || exit 1
while read -r position expected; do # what --json says, then what the X server says
  check "Xwayland $position" "$expected/$expected" "$("$ventrel" --json snap "$position" | achieved)/$(frame_geometry "$xwin")"
done <<'TABLE'
leftHalf 0 0 683 738
rightHalf 683 0 683 738
leftThird 0 0 455 738
centerThird 455 0 456 738
rightThird 911 0 455 738
topHalf 0 0 1366 369
bottomHalf 0 369 1366 369
TABLE
check "a 1920x1080 preset is clamped to the work area, in place" "0 369 1366 738" "$("$ventrel" --json resize 1920x1080 | achieved)"
check "resize keeps the place" "0 369 800 600" "$("$ventrel" --json resize 800x600 | achieved)"

xkill -id "$xwin" >/dev/null
wait_for 10 nothing_focused
gtk wayland-client
check "Wayland rightThird" "911 0 455 738" "$("$ventrel" --json snap rightThird | achieved)"
check "Wayland bottomHalf" "0 369 1366 369" "$("$ventrel" --json snap bottomHalf | achieved)"
kill $!
wait_for 10 nothing_focused
gtk fixed-client fixed
"$ventrel" snap rightHalf 2>"$VENTREL_E2E_DIR/err"
check "a fixed-size window is refused" "1 Failed to snap window to position." "$? $(head -c 35 "$VENTREL_E2E_DIR/err")"
kill $!
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
