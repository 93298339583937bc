#!/usr/bin/env bash
# Tray app figures on a private virtual desktop, beside a bare Qt tray app
# (bench/bare_tray.cpp) measured in the same run:
#   - process start to icon placed in the tray (median of N runs, ms)
#   - resident memory after 10 s idle (MB)
#   - CPU time used over 60 s idle (clock ticks; should be 0)
# Usage: bench/tray-startup.sh [build-dir] [runs]   (runs itself under with-desktop.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-20}
if [ -z "${VENTREL_E2E_LIB:-}" ]; then
  exec "$here/../scripts/desktop/with-desktop.sh" "$0" "$build" "$runs"
fi
. "$VENTREL_E2E_LIB"

# placed CLASS: true once a window of that class sits in the tray away from 0,0.
placed() {
  xwininfo -root -tree | grep "(\"$1\" " | sed -n 's/.* +\([0-9]*\)+\([0-9]*\) *$/\1 \2/p' | grep -qv '^0 0$'
}

startup_ms() { # startup_ms CLASS COMMAND...
  local class=$1 start end pid
  shift
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 &
  pid=$!
  until placed "$class"; do :; done
  end=$(date +%s%N)
  kill "$pid"; wait "$pid" 2>/dev/null || true
  until ! placed "$class"; do :; done
  echo $(((end - start) / 1000))
}

median() { sort -n | awk '{ a[NR] = $1 } END { m = (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2; printf "%.1f", m / 1000 }'; }

for app in ventrel bare_tray; do
  if [ "$app" = ventrel ]; then cmd=("$build/ventrel"); class=ventrel; else cmd=("$build/bench/bare_tray"); class=bare_tray; fi
  samples=$(for _ in $(seq "$runs"); do rm -rf "$XDG_CONFIG_HOME/Ventrel"; startup_ms "$class" "${cmd[@]}"; done)
  printf '%-10s start to icon placed: median %s ms over %s runs\n' "$app" "$(median <<<"$samples")" "$runs"
done

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
"$build/ventrel" >/dev/null 2>&1 & ventrel=$!
"$build/bench/bare_tray" >/dev/null 2>&1 & bare=$!
until placed ventrel && placed bare_tray; do :; done
sleep 10
for pid in $ventrel $bare; do
  printf '%-10s resident after 10 s idle: %.1f MB\n' "$(cat /proc/$pid/comm)" \
    "$(awk '/VmRSS/ { print $2 / 1024 }' /proc/$pid/status)"
done
before_v=$(ticks $ventrel); before_b=$(ticks $bare)
sleep 60
printf '%-10s CPU over 60 s idle: %d ticks\n' ventrel $(($(ticks $ventrel) - before_v))
printf '%-10s CPU over 60 s idle: %d ticks\n' bare_tray $(($(ticks $bare) - before_b))
kill $ventrel $bare
wait 2>/dev/null || true

"$build/bench/bench_menu"
