#!/usr/bin/env bash
# Times a snap on a headless GNOME Shell (scripts/desktop/with-gnome.sh) for a
# native Wayland window (foot) and an Xwayland window (xmessage): in process
# with a kept bus connection, and `ventrel snap leftHalf` as a whole process.
#
#   bench/gnome-snap.sh [BUILD_DIR] [RUNS]     (defaults: build, 100)
#
# The virtual monitor refreshes at 60 Hz: one compositor frame is 16.7 ms.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-100}
[ -x "$build/bench/gnome_snap_inprocess" ] ||
  { echo "gnome-snap: build it first (cmake --build $build --target gnome_snap_inprocess)" >&2; exit 1; }

export BENCH_BUILD=$build BENCH_RUNS=$runs
exec "$root/scripts/desktop/with-gnome.sh" -- bash -c '
  set -euo pipefail
  . "$VENTREL_E2E_LIB"
  median() { sort -n | awk "{ v[NR] = \$1 } END { print v[int((NR + 1) / 2)] }"; }
  clock() { local t0=$EPOCHREALTIME; "$@" >/dev/null; local t1=$EPOCHREALTIME
            echo "$(( (${t1/./} - ${t0/./}) ))"; }
  printf "%-10s %9s %9s %9s %9s %14s\n" window "snap ms" best p90 "read ms" "process ms"
  for client in "foot -T bench-foot" "xmessage -title bench-xmessage -geometry 400x300+50+80 bench"; do
    name=${client%% *}
    $client >/dev/null 2>&1 &
    focus "bench-$name" || { echo "gnome-snap: $name did not get the focus" >&2; exit 1; }
    read -r snap best p90 read <<<"$("$BENCH_BUILD/bench/gnome_snap_inprocess" "$BENCH_RUNS")"
    : >"$VENTREL_E2E_DIR/whole"
    for i in $(seq 20); do
      "$BENCH_BUILD/ventrel" snap rightHalf >/dev/null
      clock "$BENCH_BUILD/ventrel" snap leftHalf >>"$VENTREL_E2E_DIR/whole"
    done
    whole=$(median <"$VENTREL_E2E_DIR/whole" | awk "{ printf \"%.1f\", \$1 / 1000 }")
    printf "%-10s %9s %9s %9s %9s %14s\n" "$name" "$snap" "$best" "$p90" "$read" "$whole"
  done
'
