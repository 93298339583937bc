#!/usr/bin/env bash
# with-i3.sh COMMAND [ARG...]: runs COMMAND on a private Xvfb (1366x768) with
# i3 and i3bar reserving the top, with DISPLAY, XAUTHORITY, I3SOCK, a fresh
# XDG_CONFIG_HOME and VENTREL_E2E_DIR (a scratch folder) set. Everything
# started here is stopped by process id. Exit status: COMMAND's, or 125 when
# the desktop could not be started.
set -euo pipefail
. "$(dirname "$0")/desktop-lib.sh"
for tool in Xvfb i3 i3bar xauth xprop; do
  command -v $tool >/dev/null || { echo "with-i3: $tool is missing (scripts/install-deps.sh)" >&2; exit 125; }
done
harness_start i3
fail() { sed 's/^/  | /' "$dir/log" >&2; echo "with-i3: $*" >&2; exit 125; }

export XAUTHORITY=$dir/Xauthority VENTREL_E2E_DIR=$dir XDG_RUNTIME_DIR=$dir XDG_CONFIG_HOME=$dir
unset WAYLAND_DISPLAY SWAYSOCK
# The server learns the cookie from this file at start; the entry for the
# display it picks is added once that is known.
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
touch "$XAUTHORITY"
xauth -q -f "$XAUTHORITY" add :0 . "$cookie"
: >"$dir/log"
Xvfb -displayfd 3 -nolisten tcp -noreset -auth "$XAUTHORITY" -screen 0 1366x768x24 3>"$dir/display" 2>>"$dir/log" &
pids+=($!)
has_display() { [ "$(tail -c1 "$dir/display" | od -An -c | tr -d ' ')" = '\n' ]; }
wait_for 10 has_display || fail "Xvfb did not start"
export DISPLAY=:$(tr -d '[:space:]' <"$dir/display")
xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$cookie"

# Without the first line, i3 takes the file for an old one and shows a warning bar.
cat >"$dir/config" <<CONF
# i3 config file (v4)
font pango:DejaVu Sans 9
bar {
  position top
}
CONF
i3 -c "$dir/config" >>"$dir/log" 2>&1 &
pids+=($!)
socket() { xprop -root I3_SOCKET_PATH | sed -n 's/.*= "\(.*\)"$/\1/p'; }
# Ready once i3bar has taken its share of the screen.
bar_reserved() { kill -0 "${pids[1]}" && I3SOCK=$(socket) i3-msg -t get_workspaces | grep -q '"y":[1-9]'; }
wait_for 20 bar_reserved || fail "i3 did not start"
I3SOCK=$(socket)
export I3SOCK
harness_run "$@"
