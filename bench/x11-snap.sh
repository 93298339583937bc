#!/usr/bin/env bash
# Times `ventrel snap leftHalf` as a whole process against wmctrl and xdotool
# moving the same window to the same rectangle, on the virtual desktop of
# scripts/desktop/with-desktop.sh, and the in-process X traffic of one snap.
#
#   bench/x11-snap.sh [BUILD_DIR] [RUNS]     (defaults: build, 40)
#
# The three commands take turns within each round, so they share whatever the
# machine is doing; each figure is the median of RUNS runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-40}
for f in ventrel x11_snap_inprocess; do
  [ -x "$build/$f" ] || [ -x "$build/bench/$f" ] || { echo "x11-snap: build $f first (cmake --build $build --target $f)" >&2; exit 1; }
done
for tool in wmctrl xdotool; do
  command -v $tool >/dev/null || { echo "x11-snap: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

export BENCH_VENTREL=$build/ventrel BENCH_INPROCESS=$build/bench/x11_snap_inprocess BENCH_RUNS=$runs
exec "$root/scripts/desktop/with-desktop.sh" -- bash -c '
  set -euo pipefail
  . "$VENTREL_E2E_LIB"
  win=$(start_client 300x200+400+300 bench-window)
  # leftHalf of the 1366×742 work area is the frame (0, 0, 683, 742); wmctrl
  # and xdotool take the client size, so take the decorations off.
  IFS=, read -r l r t b <<<"$(xprop -id "$win" _NET_FRAME_EXTENTS | sed "s/.*= //; s/ //g")"
  cw=$((683 - l - r)); ch=$((742 - t - b))

  median() { sort -n | awk "{ v[NR] = \$1 } END { print v[int((NR + 1) / 2)] }"; }
  # EPOCHREALTIME needs no fork, so the timing adds nothing to what it times.
  clock() { local t0=$EPOCHREALTIME; "$@" >/dev/null; local t1=$EPOCHREALTIME
            echo "$(( (${t1/./} - ${t0/./}) ))"; }
  : >"$VENTREL_E2E_DIR/true" >"$VENTREL_E2E_DIR/start" >"$VENTREL_E2E_DIR/ventrel" >"$VENTREL_E2E_DIR/wmctrl" >"$VENTREL_E2E_DIR/xdotool"
  for i in $(seq 5); do "$BENCH_VENTREL" snap leftHalf; wmctrl -r :ACTIVE: -e "0,0,0,$cw,$ch"; done  # warm the caches
  for i in $(seq "$BENCH_RUNS"); do
    clock /bin/true >>"$VENTREL_E2E_DIR/true"
    clock "$BENCH_VENTREL" --version >>"$VENTREL_E2E_DIR/start"
    clock "$BENCH_VENTREL" snap leftHalf >>"$VENTREL_E2E_DIR/ventrel"
    clock wmctrl -r :ACTIVE: -e "0,0,0,$cw,$ch" >>"$VENTREL_E2E_DIR/wmctrl"
    clock xdotool getactivewindow windowmove 0 0 windowsize "$cw" "$ch" >>"$VENTREL_E2E_DIR/xdotool"
  done
  final=$(frame_geometry "$win")
  floor=$(median <"$VENTREL_E2E_DIR/true")
  start=$(median <"$VENTREL_E2E_DIR/start")
  v=$(median <"$VENTREL_E2E_DIR/ventrel")
  w=$(median <"$VENTREL_E2E_DIR/wmctrl")
  x=$(median <"$VENTREL_E2E_DIR/xdotool")
  read -r inproc best p90 connect <<<"$("$BENCH_INPROCESS" 400 same)"
  read -r moving mbest mp90 _ <<<"$("$BENCH_INPROCESS" 200 alternate)"
  ms() { awk -v u="$1" "BEGIN { printf \"%.2f ms\", u / 1000 }"; }
  echo "Medians of $BENCH_RUNS runs on $DISPLAY (${VENTREL_E2E_SCREEN}, openbox, panel), whole process:"
  printf "  %-48s %s\n" "/bin/true (starting any process)" "$(ms "$floor")"
  printf "  %-48s %s\n" "ventrel --version (its libraries, no X)" "$(ms "$start")"
  printf "  %-48s %s\n" "ventrel snap leftHalf" "$(ms "$v")"
  printf "  %-48s %s\n" "wmctrl -r :ACTIVE: -e 0,0,0,$cw,$ch" "$(ms "$w")"
  printf "  %-48s %s\n" "xdotool getactivewindow windowmove/windowsize" "$(ms "$x")"
  awk -v v="$v" -v w="$w" -v x="$x" "BEGIN { printf \"  ratio ventrel / wmctrl: %.2f   ventrel / xdotool: %.2f\n\", v / w, v / x }"
  echo "In process, one snapFocusedWindow, connection open:"
  echo "  window staying put (400 runs, same target): median ${inproc} µs, best ${best} µs, 90th percentile ${p90} µs"
  echo "  window really moving (200 runs, left/right): median ${moving} µs, best ${mbest} µs, 90th percentile ${mp90} µs"
  echo "  opening the connection (once per process): median ${connect} µs"
  echo "Window frame afterwards: $final (leftHalf is 0 0 683 742)"
'
