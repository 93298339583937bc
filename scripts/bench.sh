#!/usr/bin/env bash
# Runs every benchmark script under bench/ against a build directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
cmake --build "$build" --target ventrel bench_x11_snap
for script in "$root"/bench/*.sh; do
  echo "== $(basename "$script")"
  "$script" "$build"
done
