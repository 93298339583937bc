#!/usr/bin/env bash
# The headless demo (`make run` without a display): a private virtual desktop
# with a panel, Ventrel in its tray, one sample window, and the real `ventrel`
# command line acting on it. Prints the window's frame before and after each step and saves a
# screenshot of the desktop in the build directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
[ -x "$build/ventrel" ] || { echo "demo: $build/ventrel is missing; run make build first" >&2; exit 1; }

export VENTREL_DEMO_BIN=$build/ventrel
export VENTREL_DEMO_SHOT=$build/demo-screenshot.png
export VENTREL_DEMO_ROOT=$root
exec "$root/scripts/desktop/with-desktop.sh" --size 1920x1080 -- bash -c '
  set -euo pipefail
  . "$VENTREL_E2E_LIB"
  show() { read -r x y w h <<<"$(frame_geometry "$win")"; printf "  %-36s %4d×%-4d at (%d, %d)\n" "$1" "$w" "$h" "$x" "$y"; }
  # The window manager acts after ventrel has returned: wait for the frame to change.
  settle() { local before=$1 i; for i in $(seq 100); do [ "$(frame_geometry "$win")" != "$before" ] && break; sleep 0.01; done; }
  step() { local before; before=$(frame_geometry "$win"); local a line=; for a; do [[ $a == *" "* ]] && a="\"$a\""; line+=" $a"; done; echo "\$ ventrel$line"; "$VENTREL_DEMO_BIN" "$@"; settle "$before"; }

  echo "Virtual desktop $DISPLAY: ${VENTREL_E2E_SCREEN}, a ${VENTREL_E2E_PANEL_HEIGHT}-pixel panel at the bottom, openbox."
  . "$VENTREL_DEMO_ROOT/tests/e2e/tray-lib.sh"
  "$VENTREL_DEMO_BIN" >/dev/null 2>&1 &
  tray=$!
  trap "kill $tray 2>/dev/null || true" EXIT
  if wait_for 10 tray_icon_placed; then echo "Ventrel is in the tray."; else echo "(the tray icon did not appear)"; fi
  win=$(start_client 640x400+120+90 "Ventrel demo window")
  show "sample window (frame):"
  step apply "Desktop App"
  show "after the Desktop App preset:"
  step snap rightThird
  show "after snapping to the right third:"
  import -window root "$VENTREL_DEMO_SHOT"
  echo "Screenshot: $VENTREL_DEMO_SHOT"
'
