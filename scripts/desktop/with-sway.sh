#!/usr/bin/env bash
# with-sway.sh COMMAND [ARG...]: runs COMMAND beside a private headless sway
# (one 1366x768 output, swaybar reserving the top, Xwayland). sway refuses to
# run as root, so it runs as nobody; COMMAND runs as the caller with sway's
# SWAYSOCK, WAYLAND_DISPLAY, XDG_RUNTIME_DIR and DISPLAY (its Xwayland), a
# fresh XDG_CONFIG_HOME, and VENTREL_E2E_DIR, a scratch folder. Everything
# started here is stopped by process id. Exit status: COMMAND's, or 125 when
# sway could not be started.
set -euo pipefail
. "$(dirname "$0")/desktop-lib.sh"
command -v sway >/dev/null || { echo "with-sway: sway is missing (scripts/install-deps.sh)" >&2; exit 125; }
harness_start sway
chmod 0755 "$dir"
fail() { sed 's/^/  | /' "$dir/log" >&2; echo "with-sway: $*" >&2; exit 125; }

user=65534
mkdir -m 0700 "$dir/runtime" && mkdir "$dir/home" "$dir/settings" && chown "$user:$user" "$dir/runtime" "$dir/home"
cat >"$dir/config" <<CONF
output HEADLESS-1 resolution 1366x768 position 0 0
font pango:DejaVu Sans 9
xwayland enable
bar {
  position top
}
CONF
setpriv --reuid=$user --regid=$user --clear-groups env -i HOME="$dir/home" XDG_RUNTIME_DIR="$dir/runtime" \
  PATH=/usr/bin:/bin WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c "$dir/config" >"$dir/log" 2>&1 &
pids+=($!)
export XDG_RUNTIME_DIR=$dir/runtime WAYLAND_DISPLAY=wayland-1 VENTREL_E2E_DIR=$dir XDG_CONFIG_HOME=$dir/settings
unset DISPLAY I3SOCK
sock() { SWAYSOCK=$(ls "$dir"/runtime/sway-ipc.*.sock 2>/dev/null | head -1) && [ -S "$SWAYSOCK" ]; }
# Ready once the bar has taken its share of the output.
bar_reserved() { kill -0 "${pids[0]}" && sock && SWAYSOCK=$SWAYSOCK swaymsg -t get_workspaces | grep -q '"y": [1-9]'; }
wait_for 20 bar_reserved || fail "sway did not start"
sock
export SWAYSOCK
# Xwayland admits only sway's user unless told otherwise.
swaymsg -q exec 'xhost +si:localuser:root && echo $DISPLAY >$XDG_RUNTIME_DIR/x-display'
wait_for 5 test -s "$dir/runtime/x-display" || fail "no Xwayland display"
DISPLAY=$(cat "$dir/runtime/x-display")
export DISPLAY
harness_run "$@"
