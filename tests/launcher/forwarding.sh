#!/usr/bin/env bash
# forwarding.sh VENTREL, under with-desktop.sh or with-sway.sh: one command
# table, run by `ventrel` on its own and handed to the running tray app,
# prints the same on both streams and exits the same, byte for byte.
set -uo pipefail
ventrel=$1 d=$VENTREL_E2E_DIR
. "$(dirname "$0")/../../scripts/desktop/desktop-lib.sh"
# Elsewhere than XDG_RUNTIME_DIR (sway's belongs to its user) the channel
# lives in the temporary folder: this run's own.
export TMPDIR=$d
# A copy with no libraries beside it cannot act by itself: what it prints came from the app.
mkdir -p "$d/bin" "$d/direct" "$d/forwarded" && cp "$ventrel" "$d/bin/ventrel"

focused() {
  if [ -n "${SWAYSOCK:-}" ]; then
    swaymsg -q "[con_id=__focused__ title=\"^$1\$\"] nop"
  else
    _title_is_active "$1"
  fi
}
open_window() { # (an Xwayland window on sway)
  xmessage -geometry 500x300+100+80 -title table table >/dev/null 2>&1 &
  window=$!
  wait_for 10 focused table || { echo "FAIL: the window never took the focus"; exit 1; }
}
run_table() { # PROGRAM FOLDER
  open_window
  local i=0 line
  while IFS= read -r line; do
    [ "$line" = close ] && { kill "$window"; wait "$window" 2>/dev/null; wait_for 10 eval '! focused table'; continue; }
    eval "arguments=($line)"
    "$1" "${arguments[@]}" >"$2/$i.out" 2>"$2/$i.err"
    echo "$line -> $?" >"$2/$i.status"
    i=$((i + 1))
  done <<'TABLE'
snap leftHalf
--json snap rightThird
resize 800x600
--screen main --json resize 640×480
apply 'full hd'
--screen=window --json resize 1920x1080
--json apply 'no such preset'
--screen side snap leftHalf
--bogus list
list
--json list
--help
-- --help
apply ''
close
snap leftHalf
--json resize 800x600
TABLE
}

run_table "$ventrel" "$d/direct"
"$d/bin/ventrel" snap leftHalf 2>/dev/null && { echo "FAIL: the copy acted without the app"; exit 1; }
"$ventrel" 2>"$d/app.err" &
app=$!
trap 'kill $app 2>/dev/null' EXIT
wait_for 20 eval 'test -S "$XDG_RUNTIME_DIR/ventrel/instance" || test -S "$TMPDIR"/ventrel-*/instance' ||
  { echo "FAIL: the tray app does not listen: $(cat "$d/app.err")"; exit 1; }
run_table "$d/bin/ventrel" "$d/forwarded"
# Presets never saved are dated when they are read.
sed -i 's/"createdAt":[0-9.]*,//g' "$d"/*/*.out
diff -r "$d/direct" "$d/forwarded" && echo "$(ls "$d/direct" | grep -c status) commands print and exit alike"
