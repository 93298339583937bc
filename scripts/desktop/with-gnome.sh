#!/usr/bin/env bash
# with-gnome.sh [--appindicator] [--] COMMAND...: runs COMMAND in a private
# headless GNOME Shell (Wayland, with Xwayland, --unsafe-mode for Eval), on a
# private session bus and a stand-in system bus (without one the Shell sees
# systemd's seats and exits). Ventrel's extension, built from the source tree
# in the form this Shell loads, is enabled before start (and the AppIndicator
# extension with --appindicator). COMMAND runs once the extension answers, the
# start-up overview is gone and the work area excludes the top bar, with
# DBUS_SESSION_BUS_ADDRESS, WAYLAND_DISPLAY, DISPLAY, XAUTHORITY,
# XDG_SESSION_TYPE, private XDG folders, VENTREL_E2E_LIB (gnome-lib.sh) and
# VENTREL_E2E_DIR (scratch). Everything is stopped by process id afterwards.
# Exit status: COMMAND's, or 125 when the Shell could not be started.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
extensions="'ventrel@ventrel.app'"
[ "${1:-}" = --appindicator ] && { extensions+=", 'ubuntu-appindicators@ubuntu.com'"; shift; }
[ "${1:-}" = -- ] && shift
for tool in gnome-shell dbus-daemon gdbus Xwayland; do
  command -v "$tool" >/dev/null || { echo "with-gnome: $tool is missing (scripts/install-deps.sh)" >&2; exit 125; }
done

dir=$(mktemp -d "${TMPDIR:-/tmp}/ventrel-gnome.XXXXXX")
pids=()
cleanup() {
  local status=$?
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do wait "${pids[i]}" 2>/dev/null || true; done
  rm -rf "$dir"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
fail() { echo "with-gnome: $*" >&2; tail -n 30 "$dir/log" | sed 's/^/  | /' >&2; exit 125; }
. "$here/gnome-lib.sh"
export VENTREL_E2E_LIB=$here/gnome-lib.sh VENTREL_E2E_DIR=$dir

mkdir -m 0700 "$dir/runtime"
installed=$dir/data/gnome-shell/extensions/ventrel@ventrel.app
mkdir -p "$dir/home" "$dir/config/glib-2.0/settings" "$installed"
export XDG_RUNTIME_DIR=$dir/runtime HOME=$dir/home XDG_CONFIG_HOME=$dir/config XDG_DATA_HOME=$dir/data
unset WAYLAND_DISPLAY DISPLAY XAUTHORITY SWAYSOCK I3SOCK
# GNOME 45 and later load only the ES-module entry, 43 and 44 only the other.
source=$here/../../src/platform/gnome/extension
entry=module
[ "$(gnome-shell --version | sed -n 's/^GNOME Shell \([0-9]*\).*/\1/p')" -ge 45 ] || entry=legacy
cp "$source/body.js" "$source/$entry/extension.js" "$source/$entry/metadata.json" "$installed/"
export GSETTINGS_BACKEND=keyfile
printf "[org/gnome/shell]\nenabled-extensions=[%s]\nwelcome-dialog-last-shown-version='999'\n" "$extensions" \
  >"$dir/config/glib-2.0/settings/keyfile"

: >"$dir/log"
for bus in session system; do
  dbus-daemon --session --nofork --nopidfile --print-address=3 --address="unix:path=$dir/$bus-bus" \
    3>"$dir/$bus-address" >>"$dir/log" 2>&1 &
  pids+=($!)
  wait_for 10 test -s "$dir/$bus-address" || fail "the $bus bus did not start"
done
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$dir/session-address") DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$dir/system-address")

gnome-shell --headless --wayland --unsafe-mode --virtual-monitor 1366x768 >>"$dir/log" 2>&1 &
pids+=($!)
wait_for 30 shell_eval true || fail "GNOME Shell did not answer on the session bus"
# The overview holds the focus until hidden, which works only once started.
wait_for 20 shell_eval_is true '!Main.layoutManager._startingUp' || fail "GNOME Shell did not finish starting"
shell_eval 'Main.overview.hide()' >/dev/null
wait_for 10 shell_eval_is true '!Main.overview.visible && !Main.overview.animationInProgress' ||
  fail "the overview did not close"
export WAYLAND_DISPLAY=$(shell_eval_value 'GLib.getenv("WAYLAND_DISPLAY")') DISPLAY=$(shell_eval_value 'GLib.getenv("DISPLAY")')
export XAUTHORITY=$(shell_eval_value 'GLib.getenv("XAUTHORITY")') XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME
[ -n "$WAYLAND_DISPLAY" ] && [ -n "$DISPLAY" ] || fail "no Wayland or Xwayland display"
# The work area reads as the whole monitor for a while after start.
wait_for 10 shell_eval_is 32 'global.workspace_manager.get_active_workspace().get_work_area_for_monitor(0).y' ||
  fail "the work area never excluded the top bar"
wait_for 10 gdbus call --session -d org.gnome.Shell -o /app/ventrel/WindowControl \
  -m org.freedesktop.DBus.Properties.Get app.ventrel.WindowControl1 Version || fail "Ventrel's extension did not start"

"$@" <&0 &
pids+=($!)
status=0
wait "${pids[-1]}" || status=$?
exit "$status"
