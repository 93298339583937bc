#!/usr/bin/env bash
# Times `ventrel snap leftHalf` handed to the running tray app against the
# same command acting by itself (no app reachable), against the program as
# it was when it linked the core library (bench/ventrel_linked), and against
# the desktop's own tool, on openbox (scripts/desktop/with-desktop.sh, wmctrl), on
# sway (scripts/desktop/with-sway.sh, swaymsg) and on KWin Wayland
# (scripts/desktop/with-kwin.sh, wmctrl on an Xwayland window) and on GNOME Shell
# (scripts/desktop/with-gnome.sh, `gdbus call` to our extension). Prints medians and
# peak memory.
#
#   bench/forwarding-snap.sh [BUILD_DIR] [RUNS]     (defaults: build, 40)
#
# The commands take turns within each round, so they share whatever the
# machine is doing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
export BENCH_VENTREL=$build/ventrel BENCH_LINKED=$build/bench/ventrel_linked BENCH_RUNS=${2:-40}
for f in "$BENCH_VENTREL" "$BENCH_LINKED"; do
  [ -x "$f" ] || { echo "forwarding-snap: build $(basename "$f") first" >&2; exit 1; }
done

body() {
  set -euo pipefail
  d=$VENTREL_E2E_DIR
  export TMPDIR=$d/app-tmp
  mkdir -p "$TMPDIR" && mkdir -m 0700 "$d/nowhere"
  if [ -n "${SWAYSOCK:-}" ]; then
    name="sway, foot window" tool=swaymsg
    foot -T bench-window cat >/dev/null 2>&1 &
    native() { swaymsg '[title="^bench-window$"] floating enable, resize set width 683 px height 747 px, move absolute position 0 px 21 px' >/dev/null; }
    for _ in $(seq 500); do swaymsg -t get_tree | grep -q '"bench-window"' && break; done
  elif [ "${BENCH_DESKTOP:-}" = gnome ]; then
    name="GNOME Shell, foot window" tool="gdbus call"
    . "$VENTREL_E2E_LIB"
    foot -T bench-window cat >/dev/null 2>&1 &
    focus bench-window
    # Our extension's own call, with the window and the frame a snap asks for.
    control=(--session -d org.gnome.Shell -o /app/ventrel/WindowControl -m app.ventrel.WindowControl1)
    id=$(gdbus call "${control[@]}.Focused" | sed -n 's/^(uint64 \([0-9]*\),.*/\1/p')
    frame=$("$BENCH_VENTREL" --json snap leftHalf | /usr/bin/python3 -c 'import json, sys
r = json.load(sys.stdin)["requested"]; print("(%d, %d, %d, %d)" % (r["x"], r["y"], r["width"], r["height"]))')
    native() { gdbus call "${control[@]}.MoveResize" "$id" "$frame" >/dev/null; }
  else
    name="openbox, xmessage window" tool=wmctrl
    [ -n "${WAYLAND_DISPLAY:-}" ] && name="KWin Wayland, Xwayland xmessage window"
    . "$VENTREL_E2E_LIB"
    win=$(start_client 300x200+400+300 bench-window)
    IFS=, read -r l r t b <<<"$(xprop -id "$win" _NET_FRAME_EXTENTS | sed "s/.*= //; s/ //g")"
    cw=$((683 - l - r)) ch=$((768 - VENTREL_E2E_PANEL_HEIGHT - t - b))
    native() { wmctrl -r :ACTIVE: -e "0,0,0,$cw,$ch"; }
  fi
  "$BENCH_VENTREL" 2>/dev/null &
  app=$!
  trap 'kill $app 2>/dev/null || true' EXIT
  for _ in $(seq 2000); do compgen -G "$TMPDIR/ventrel-*/instance" >/dev/null || [ -S "$XDG_RUNTIME_DIR/ventrel/instance" ] && break; done
  forwarded() { "$BENCH_VENTREL" snap leftHalf >/dev/null; }
  alone() { XDG_RUNTIME_DIR=$d/nowhere TMPDIR=$d/nowhere "$BENCH_VENTREL" snap leftHalf >/dev/null; }
  linked() { XDG_RUNTIME_DIR=$d/nowhere TMPDIR=$d/nowhere "$BENCH_LINKED" snap leftHalf >/dev/null; }
  median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
  clock() { local t0=$EPOCHREALTIME; "$@" >/dev/null; local t1=$EPOCHREALTIME; echo $(( ${t1/./} - ${t0/./} )); }
  [ "$("$BENCH_VENTREL" --json snap leftHalf | grep -c '"ok":true')" = 1 ] || { echo "snap fails here" >&2; exit 1; }
  kinds="true forwarded alone linked native"
  for k in $kinds; do : >"$d/$k"; done
  for _ in 1 2 3 4 5; do forwarded; alone; linked; native; done
  for _ in $(seq "$BENCH_RUNS"); do
    clock /bin/true >>"$d/true"
    for k in forwarded alone linked native; do clock $k >>"$d/$k"; done
  done
  # Peak resident memory (KiB) of each path's own process.
  rss() { for _ in 1 2 3 4 5; do /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; done | median; }
  ms() { awk -v u="$(median <"$d/$1")" 'BEGIN { printf "%.2f ms", u / 1000 }'; }
  echo "$name: medians of $BENCH_RUNS interleaved runs, whole process"
  printf "  %-52s %s\n" "/bin/true (starting any process)" "$(ms true)"
  printf "  %-52s %-9s peak %s KiB\n" "ventrel snap leftHalf, tray app running" "$(ms forwarded)" "$(rss "$BENCH_VENTREL" snap leftHalf)"
  printf "  %-52s %-9s peak %s KiB\n" "ventrel snap leftHalf, no app (loads the core)" "$(ms alone)" \
    "$(XDG_RUNTIME_DIR=$d/nowhere TMPDIR=$d/nowhere rss "$BENCH_VENTREL" snap leftHalf)"
  printf "  %-52s %-9s peak %s KiB\n" "as before: the core linked in, no app" "$(ms linked)" \
    "$(XDG_RUNTIME_DIR=$d/nowhere TMPDIR=$d/nowhere rss "$BENCH_LINKED" snap leftHalf)"
  printf "  %-52s %s\n" "$tool, same rectangle" "$(ms native)"
  awk -v f="$(median <"$d/forwarded")" -v a="$(median <"$d/alone")" -v l="$(median <"$d/linked")" -v n="$(median <"$d/native")" -v t="$tool" \
    'BEGIN { printf "  ratios: app running / %s %.2f; no app / as before %.2f\n", t, f / n, a / l }'
}

"$root/scripts/desktop/with-desktop.sh" -- bash -c "$(declare -f body); body"
"$root/scripts/desktop/with-sway.sh" bash -c "$(declare -f body); body"
"$root/scripts/desktop/with-kwin.sh" -- bash -c "$(declare -f body); body"
BENCH_DESKTOP=gnome "$root/scripts/desktop/with-gnome.sh" -- bash -c "$(declare -f body); body"
