#!/usr/bin/env bash
# with-kwin.sh: run one command in a private headless KDE Plasma session
# (KWin on Wayland, with Xwayland).
#
#   tests/e2e/with-kwin.sh [--x11] [--no-panel] [--] COMMAND [ARG...]
#
# Starts a private session bus, then `kwin_wayland --virtual --xwayland` on a
# 1366x768 output (with --x11: Xvfb and kwin_x11 instead), and a trayer dock
# along the bottom edge that reserves 30 px as a strut. Each is waited for by
# polling, never by fixed sleeps. COMMAND then runs with:
#
#   DBUS_SESSION_BUS_ADDRESS   the private bus, where org.kde.KWin answers
#   WAYLAND_DISPLAY, DISPLAY   KWin's Wayland socket and its Xwayland display
#   XDG_RUNTIME_DIR            private, mode 0700
#   XDG_CONFIG_HOME            private and empty
#   XDG_SESSION_TYPE           wayland (x11 with --x11)
#   VENTREL_E2E_PANEL_HEIGHT   the height the dock reserves (0 without one)
#   VENTREL_E2E_DIR            a scratch directory, removed afterwards
#   VENTREL_E2E_LIB            desktop-lib.sh (wait_for, ...), as with-desktop.sh
#
# Everything started here is stopped by process id when COMMAND ends. The exit
# status is COMMAND's, or 125 when the session could not be started.
#
# The installed kwin_wayland carries a file capability (CAP_SYS_NICE) that
# some containers refuse to execute; a plain copy is run then.
set -euo pipefail

x11=0
panel=30
while [ $# -gt 0 ]; do
  case $1 in
    --x11) x11=1; shift ;;
    --no-panel) panel=0; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 125; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/ventrel-kwin.XXXXXX")
pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do wait "${pids[i]}" 2>/dev/null || true; done
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
fail() { echo "with-kwin: $*" >&2; [ -f "$dir/kwin.log" ] && tail -n 20 "$dir/kwin.log" >&2; exit 125; }

wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.01
  done
}

mkdir -m 0700 "$dir/runtime" "$dir/config"
export XDG_RUNTIME_DIR=$dir/runtime XDG_CONFIG_HOME=$dir/config HOME=$dir
unset WAYLAND_DISPLAY DISPLAY XAUTHORITY SWAYSOCK I3SOCK
# Xwayland and Xvfb put their sockets here; a fresh machine may lack it.
[ -d /tmp/.X11-unix ] || { mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix; }

dbus-daemon --session --nofork --nopidfile --address="unix:path=$dir/bus" >/dev/null 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/bus
bus_up() { dbus-send --session --dest=org.freedesktop.DBus --print-reply / org.freedesktop.DBus.GetId; }
wait_for 10 bus_up || fail "the session bus did not start"

if [ $x11 -eq 1 ]; then
  Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
  pids+=($!)
  wait_for 10 test -s "$dir/display" || fail "Xvfb did not start"
  export DISPLAY=:$(cat "$dir/display") XDG_SESSION_TYPE=x11
  kwin_x11 --replace >"$dir/kwin.log" 2>&1 &
  pids+=($!)
else
  kwin=kwin_wayland
  if ! kwin_wayland --version >/dev/null 2>&1; then
    cp "$(command -v kwin_wayland)" "$dir/kwin_wayland"
    kwin=$dir/kwin_wayland
  fi
  QT_QPA_PLATFORM=offscreen "$kwin" --virtual --xwayland --width 1366 --height 768 \
    --socket wayland-ventrel --no-lockscreen >"$dir/kwin.log" 2>&1 &
  pids+=($!)
  export WAYLAND_DISPLAY=wayland-ventrel XDG_SESSION_TYPE=wayland
  kwin_pid=${pids[-1]}
  xwayland_display() { ps -o args= --ppid "$kwin_pid" | sed -n 's/^[^ ]*Xwayland \(:[0-9]*\) .*/\1/p' | grep .; }
  wait_for 20 xwayland_display || fail "Xwayland did not start"
  export DISPLAY=$(xwayland_display)
fi
kwin_up() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.kde.KWin | grep -q true
}
wait_for 20 kwin_up || fail "KWin did not come onto the session bus"
wait_for 20 xprop -root _NET_SUPPORTING_WM_CHECK || fail "no X display from KWin"

if [ "$panel" -gt 0 ]; then
  trayer --edge bottom --height "$panel" --SetDockType true --SetPartialStrut true >/dev/null 2>&1 &
  pids+=($!)
  panel_mapped() { xwininfo -root -tree | grep -q '"panel"'; }
  wait_for 10 panel_mapped || fail "the trayer dock did not appear"
fi
export VENTREL_E2E_PANEL_HEIGHT=$panel VENTREL_E2E_DIR=$dir VENTREL_E2E_LIB=$(cd "$(dirname "$0")" && pwd)/desktop-lib.sh

status=0
"$@" || status=$?
exit $status
