#!/usr/bin/env bash
# From a global shortcut's key press to the window manager's ConfigureNotify
# and to the window's final frame, beside the same snap chosen from the tray
# menu (timed from the click on its item), on the virtual desktop of
# scripts/desktop/with-desktop.sh (openbox). Left and right half in turn, so the
# window really moves each time.
#
#   bench/shortcut-latency.sh [BUILD_DIR] [RUNS] [MENU_RUNS]   (defaults: build, 100, 100)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
export BENCH_RUNS=${2:-100} BENCH_MENU_RUNS=${3:-100}
for f in ventrel bench/shortcut_latency; do
  [ -x "$build/$f" ] || { echo "shortcut-latency: build $(basename $f) first" >&2; exit 1; }
done
export BENCH_VENTREL=$build/ventrel BENCH_TOOL=$build/bench/shortcut_latency BENCH_LIB=$root/tests/e2e/tray-lib.sh
exec "$root/scripts/desktop/with-desktop.sh" -- bash -c '
  set -euo pipefail
  . "$VENTREL_E2E_LIB"; . "$BENCH_LIB"
  mkdir -p "$XDG_CONFIG_HOME/Ventrel"
  printf "[General]\nshortcuts=\"@ByteArray({\\\\\"leftHalf\\\\\":\\\\\"Ctrl+Alt+H\\\\\",\\\\\"rightHalf\\\\\":\\\\\"Ctrl+Alt+L\\\\\"})\"\n" \
    >"$XDG_CONFIG_HOME/Ventrel/Ventrel.conf"
  win=$(start_client 300x200+400+300 bench-window)
  a11y_session
  "$BENCH_VENTREL" >/dev/null 2>&1 &
  app=$!
  trap "kill $app; a11y_end" EXIT
  wait_for 10 tray_icon_placed
  stats() { grep -v miss | sort -n | awk "{ v[NR] = \$1 } END { printf \"median %.2f ms, worst %.2f ms\", v[int((NR + 1) / 2)] / 1000, v[NR] / 1000 }"; }
  "$BENCH_TOOL" keys 10 0068 006c >/dev/null # warm up
  "$BENCH_TOOL" keys "$BENCH_RUNS" 0068 006c >"$VENTREL_E2E_DIR/keys"
  for i in $(seq "$BENCH_MENU_RUNS"); do
    # The other half than the window is in, so that it moves.
    read -r wx _ <<<"$(frame_geometry "$win")"
    if [ "$wx" = 0 ]; then position="Right Half"; else position="Left Half"; fi
    item=$(open_tray_menu 3 "Snap Position")
    read -r x y <<<"$(open_submenu $item "$position")"
    "$BENCH_TOOL" click "$x" "$y" >>"$VENTREL_E2E_DIR/menu" || true
    wait_for 5 bash -c "! { . \"\$VENTREL_E2E_LIB\"; . \"\$BENCH_LIB\"; menu_open; }"
  done
  echo "On $DISPLAY (${VENTREL_E2E_SCREEN}, openbox), left and right half in turn:"
  echo "  shortcut, key press to ConfigureNotify ($BENCH_RUNS runs):   $(cut -d" " -f1 "$VENTREL_E2E_DIR/keys" | stats)"
  echo "  shortcut, key press to final frame:                 $(cut -d" " -f2 "$VENTREL_E2E_DIR/keys" | stats)"
  echo "  menu, click on the item to ConfigureNotify ($BENCH_MENU_RUNS runs): $(cut -d" " -f1 "$VENTREL_E2E_DIR/menu" | stats)"
  echo "  menu, click on the item to final frame:             $(cut -d" " -f2 "$VENTREL_E2E_DIR/menu" | stats)"
  echo "  (final frame: the last ConfigureNotify before 100 ms of quiet)"
  echo "  presses that moved nothing within 2 s: $(grep -c miss "$VENTREL_E2E_DIR/keys" || true) of $BENCH_RUNS;" \
       "menu clicks: $(grep -c miss "$VENTREL_E2E_DIR/menu" || true) of $BENCH_MENU_RUNS"
'
