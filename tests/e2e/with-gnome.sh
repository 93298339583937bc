#!/usr/bin/env bash
# with-gnome.sh: run one command in a private headless GNOME Shell (Wayland).
#
#   tests/e2e/with-gnome.sh [OPTIONS] [--] COMMAND [ARG...]
#
# Starts a private session bus, a stand-in system bus (without one the Shell
# sees systemd's seats and exits), and `gnome-shell --headless --wayland
# --virtual-monitor 1366x768 --unsafe-mode` with Ventrel's extension (built
# from src/platform/gnome/extension, the entry matching the Shell's version)
# installed and enabled before start through a keyfile settings backend.
# Waits, by polling, until the extension answers, the startup overview is
# hidden and the work area excludes the top bar. COMMAND then runs with:
#
#   DBUS_SESSION_BUS_ADDRESS   the Shell's session bus
#   WAYLAND_DISPLAY            the Shell's Wayland socket
#   DISPLAY, XAUTHORITY        its Xwayland server
#   XDG_SESSION_TYPE=wayland, XDG_CURRENT_DESKTOP=GNOME
#   XDG_RUNTIME_DIR, HOME, XDG_CONFIG_HOME, XDG_DATA_HOME   private
#   VENTREL_E2E_LIB            gnome-lib.sh: shell_eval, wait_for, ...
#   VENTREL_E2E_DIR            a scratch directory, removed afterwards
#
# Everything started here is stopped by process id. The exit status is
# COMMAND's, or 125 when the Shell could not be started.
#
# Options:
#   --appindicator     also enable the AppIndicator extension (a tray host)
#   --no-extension     install Ventrel's extension but leave it disabled
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/../../src/platform/gnome/extension" && pwd)
uuid=ventrel@ventrel.app
enabled=("$uuid")
while [ $# -gt 0 ]; do
  case $1 in
    --appindicator) enabled+=(ubuntu-appindicators@ubuntu.com); shift ;;
    --no-extension) enabled=("${enabled[@]/$uuid}"); shift ;;
    --) shift; break ;;
    -*) echo "with-gnome: unknown option $1" >&2; exit 125 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 125; }
for tool in gnome-shell dbus-daemon gdbus Xwayland; do
  command -v "$tool" >/dev/null || { echo "with-gnome: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 125; }
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
fail() { echo "with-gnome: $*" >&2; [ -s "$dir/log" ] && tail -n 40 "$dir/log" | sed 's/^/  | /' >&2; exit 125; }

. "$here/gnome-lib.sh"
export VENTREL_E2E_LIB=$here/gnome-lib.sh VENTREL_E2E_DIR=$dir

mkdir -m 0700 "$dir/runtime"
mkdir -p "$dir/home" "$dir/config/glib-2.0/settings" "$dir/data/gnome-shell/extensions/$uuid"
export XDG_RUNTIME_DIR=$dir/runtime HOME=$dir/home XDG_CONFIG_HOME=$dir/config XDG_DATA_HOME=$dir/data
unset WAYLAND_DISPLAY DISPLAY XAUTHORITY SWAYSOCK I3SOCK

# GNOME 45 and later load only the ES-module entry, 43 and 44 only the other.
major=$(gnome-shell --version | sed -n 's/^GNOME Shell \([0-9]*\).*/\1/p')
entry=module
[ "${major:-45}" -ge 45 ] || entry=legacy
cp "$source_dir/body.js" "$source_dir/$entry/extension.js" "$source_dir/$entry/metadata.json" \
  "$dir/data/gnome-shell/extensions/$uuid/"

list=$(printf "'%s', " "${enabled[@]}" | sed "s/'', //g; s/, $//")
export GSETTINGS_BACKEND=keyfile
cat >"$dir/config/glib-2.0/settings/keyfile" <<KEYS
[org/gnome/shell]
enabled-extensions=[$list]
disable-user-extensions=false
welcome-dialog-last-shown-version='999'
KEYS

: >"$dir/log"
bus() {  # bus NAME: a private dbus-daemon; prints its address
  dbus-daemon --session --nofork --nopidfile --print-address=3 --address="unix:path=$dir/$1-bus" \
    3>"$dir/$1-address" >>"$dir/log" 2>&1 &
  pids+=($!)
  wait_for 10 test -s "$dir/$1-address" || fail "the $1 bus did not start"
  head -n1 "$dir/$1-address"
}
DBUS_SESSION_BUS_ADDRESS=$(bus session)
DBUS_SYSTEM_BUS_ADDRESS=$(bus system)
export DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS

gnome-shell --headless --wayland --unsafe-mode --virtual-monitor 1366x768 >>"$dir/log" 2>&1 &
shell_pid=$!
pids+=($shell_pid)
export VENTREL_E2E_SHELL_PID=$shell_pid
wait_for 30 shell_eval 'true' || fail "GNOME Shell did not answer on the session bus"
# The Shell shows the overview until its start-up animation ends, and the
# overview holds the focus; hide it only after that.
wait_for 20 shell_eval_is true '!Main.layoutManager._startingUp' || fail "GNOME Shell did not finish starting"
shell_eval 'Main.overview.hide()' >/dev/null
wait_for 10 shell_eval_is true '!Main.overview.visible && !Main.overview.animationInProgress' ||
  fail "the overview did not close"

export WAYLAND_DISPLAY=$(shell_eval_value 'GLib.getenv("WAYLAND_DISPLAY")')
export DISPLAY=$(shell_eval_value 'GLib.getenv("DISPLAY")')
export XAUTHORITY=$(shell_eval_value 'GLib.getenv("XAUTHORITY")')
[ -n "$WAYLAND_DISPLAY" ] && [ -n "$DISPLAY" ] || fail "no Wayland or Xwayland display"
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME

# Right after start the work area reads as the whole monitor for a while.
top_bar_reserved() { [ "$(shell_eval_value 'global.workspace_manager.get_active_workspace().get_work_area_for_monitor(0).y')" -gt 0 ]; }
wait_for 10 top_bar_reserved || fail "the work area never excluded the top bar"
if [[ " ${enabled[*]} " == *" $uuid "* ]]; then
  wait_for 10 extension_answers || fail "Ventrel's extension did not start"
fi

"$@" <&0 &
command_pid=$!
pids+=($command_pid)
status=0
wait "$command_pid" || status=$?
exit "$status"
