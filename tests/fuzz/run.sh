#!/usr/bin/env bash
# run.sh BUILD_DIR SECONDS: runs every fuzz target in BUILD_DIR for SECONDS,
# from the seeds here plus the corpus kept in BUILD_DIR, and prints one line of
# figures per target. Stops at the first target that finds a fault.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1 seconds=$2
declare -A dict=([fuzz_appcastfeed]=appcast.dict [fuzz_windowpreset]=json.dict [fuzz_presetsettings]=json.dict)
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in "$build"/fuzz_*; do
  [ -x "$target" ] && [ -f "$target" ] || continue
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1
        -artifact_prefix="$build/$name-")
  [ -n "${dict[$name]:-}" ] && args+=(-dict="$here/${dict[$name]}")
  log="$build/$name.log"
  if ! "$target" "${args[@]}" "$corpus" "$here/seeds/$name" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $name found a fault; the input is in $build/$name-*" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1)
  echo "fuzz: $name: $runs runs in ${seconds}s, $cov, $ft, corpus $(ls "$corpus" | wc -l)"
done
