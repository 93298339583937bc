#!/usr/bin/env bash
# Times snaps through KWin's script on the headless KWin of
# scripts/desktop/with-kwin.sh (Wayland, Xwayland client window): in process with
# the script kept loaded (the tray app) and with a load, run and unload around
# each action (what a fresh script per action costs), and the whole process
# `ventrel snap leftHalf` (which loads and unloads its own script).
#
#   bench/kwin-snap.sh [BUILD_DIR] [RUNS]     (defaults: build, 40)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-40}
[ -x "$build/bench/kwin_snap_inprocess" ] ||
  { echo "kwin-snap: build kwin_snap_inprocess first (cmake --build $build --target kwin_snap_inprocess)" >&2; exit 1; }

export BENCH_VENTREL=$build/ventrel BENCH_INPROCESS=$build/bench/kwin_snap_inprocess BENCH_RUNS=$runs
exec "$root/scripts/desktop/with-kwin.sh" -- bash -c '
  set -euo pipefail
  . "$VENTREL_E2E_LIB"
  xmessage -geometry 500x300+300+200 -title bench-window bench-window >/dev/null 2>&1 &
  wait_for 10 _title_is_active bench-window
  echo "In process (Xwayland window, KWin $(dpkg-query -W -f "\${Version}" kwin-common 2>/dev/null)):"
  "$BENCH_INPROCESS" 400 | sed "s/^/  /"
  [ -x "$BENCH_VENTREL" ] || exit 0
  median() { sort -n | awk "{ v[NR] = \$1 } END { print v[int((NR + 1) / 2)] }"; }
  clock() { local t0=$EPOCHREALTIME; "$@" >/dev/null; local t1=$EPOCHREALTIME
            echo "$(( (${t1/./} - ${t0/./}) ))"; }
  : >"$VENTREL_E2E_DIR/start" >"$VENTREL_E2E_DIR/snap"
  for i in $(seq 3); do "$BENCH_VENTREL" snap leftHalf >/dev/null; done
  for i in $(seq "$BENCH_RUNS"); do
    "$BENCH_VENTREL" snap rightHalf >/dev/null
    clock "$BENCH_VENTREL" --version >>"$VENTREL_E2E_DIR/start"
    clock "$BENCH_VENTREL" snap leftHalf >>"$VENTREL_E2E_DIR/snap"
  done
  ms() { awk -v u="$1" "BEGIN { printf \"%.2f ms\", u / 1000 }"; }
  echo "Whole process, medians of $BENCH_RUNS runs (load $(cut -d" " -f1 /proc/loadavg)):"
  printf "  %-40s %s\n" "ventrel --version" "$(ms "$(median <"$VENTREL_E2E_DIR/start")")"
  printf "  %-40s %s\n" "ventrel snap leftHalf" "$(ms "$(median <"$VENTREL_E2E_DIR/snap")")"
  echo "Frame afterwards: $(frame_geometry "$(active_window)") (leftHalf is 0 0 683 738)"
'
