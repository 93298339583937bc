#!/usr/bin/env bash
# with-kwin.sh [--no-panel] [--] COMMAND...: runs COMMAND in a private
# headless KWin session: a private session bus, `kwin_wayland --virtual
# --xwayland` on one 1366x768 output, and a trayer
# dock reserving 30 px at the bottom (VENTREL_E2E_PANEL_HEIGHT). COMMAND gets
# DBUS_SESSION_BUS_ADDRESS, WAYLAND_DISPLAY, DISPLAY (Xwayland), private
# XDG_RUNTIME_DIR and XDG_CONFIG_HOME, XDG_SESSION_TYPE, VENTREL_E2E_DIR (a
# scratch folder) and VENTREL_E2E_LIB (desktop-lib.sh). Everything started
# here is stopped by PID afterwards; the status is COMMAND's, 125 when the
# session did not start. The installed kwin_wayland carries a file capability
# that some containers refuse to run; a plain copy runs there.
set -euo pipefail
panel=30
[ "${1:-}" = --no-panel ] && { panel=0; shift; }
[ "${1:-}" = -- ] && shift
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d "${TMPDIR:-/tmp}/ventrel-kwin.XXXXXX")
pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; wait "${pids[i]}" 2>/dev/null || true; done
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
fail() { echo "with-kwin: $*" >&2; tail -n 20 "$dir/kwin.log" >&2 2>/dev/null; exit 125; }
. "$here/desktop-lib.sh"

mkdir -m 0700 "$dir/runtime" "$dir/config"
export XDG_RUNTIME_DIR=$dir/runtime XDG_CONFIG_HOME=$dir/config HOME=$dir VENTREL_E2E_DIR=$dir
export VENTREL_E2E_LIB=$here/desktop-lib.sh VENTREL_E2E_PANEL_HEIGHT=$panel
unset WAYLAND_DISPLAY DISPLAY XAUTHORITY SWAYSOCK I3SOCK
[ -d /tmp/.X11-unix ] || { mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix; }

dbus-daemon --session --nofork --nopidfile --address="unix:path=$dir/bus" >/dev/null 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/bus
wait_for 10 dbus-send --session --dest=org.freedesktop.DBus --print-reply / org.freedesktop.DBus.GetId ||
  fail "the session bus did not start"

kwin=kwin_wayland
kwin_wayland --version >/dev/null 2>&1 || { cp "$(command -v kwin_wayland)" "$dir/" && kwin=$dir/kwin_wayland; }
QT_QPA_PLATFORM=offscreen "$kwin" --virtual --xwayland --width 1366 --height 768 \
  --socket wayland-ventrel --no-lockscreen >"$dir/kwin.log" 2>&1 &
pids+=($!)
xwayland() { ps -o args= --ppid "${pids[-1]}" | sed -n 's/^[^ ]*Xwayland \(:[0-9]*\) .*/\1/p' | grep .; }
wait_for 20 xwayland || fail "Xwayland did not start"
export DISPLAY=$(xwayland) WAYLAND_DISPLAY=wayland-ventrel XDG_SESSION_TYPE=wayland
kwin_up() { dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner string:org.kde.KWin | grep -q true; }
wait_for 20 kwin_up || fail "KWin did not come onto the session bus"
wait_for 20 xprop -root _NET_SUPPORTING_WM_CHECK || fail "no X display from KWin"
if [ "$panel" -gt 0 ]; then
  trayer --edge bottom --height "$panel" --SetDockType true --SetPartialStrut true >/dev/null 2>&1 &
  pids+=($!)
  wait_for 10 bash -c 'xwininfo -root -tree | grep -q "\"panel\""' || fail "the trayer dock did not appear"
fi
status=0
"$@" || status=$?
exit $status
