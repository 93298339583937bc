#!/usr/bin/env bash
# Runs every benchmark of a build: `scripts/bench.sh [build-dir]`.
# Figures are printed for reading; nothing is asserted.
set -euo pipefail
build="${1:-build}"
cmake --build "$build" --target all
found=0
for bench in "$build"/bench/bench_*; do
  [ -x "$bench" ] || continue
  found=1
  echo "== $(basename "$bench")"
  "$bench"
done
if [ "$found" = 0 ]; then
  echo "no benchmarks found in $build/bench" >&2
  exit 1
fi

# Benchmarks that need a virtual desktop start their own.
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -x "$build/bench/x11_snap_inprocess" ]; then
  echo "== x11-snap.sh"
  "$root/bench/x11-snap.sh" "$build"
fi
if [ -x "$build/bench/kwin_snap_inprocess" ]; then
  echo "== kwin-snap.sh"
  "$root/bench/kwin-snap.sh" "$build"
fi
if [ -x "$build/bench/tiling_snap_inprocess" ] && command -v sway >/dev/null && command -v i3 >/dev/null; then
  echo "== tiling-snap.sh"
  "$root/bench/tiling-snap.sh" "$build"
fi
if [ -x "$build/bench/ventrel_linked" ] && command -v sway >/dev/null; then
  echo "== forwarding-snap.sh"
  "$root/bench/forwarding-snap.sh" "$build"
fi
echo "== tray-startup.sh"
"$root/bench/tray-startup.sh" "$build"
