#!/usr/bin/env bash
# with-desktop.sh: run one command on a private virtual X desktop.
#
#   scripts/desktop/with-desktop.sh [OPTIONS] [--] COMMAND [ARG...]
#
# Starts Xvfb on a free display (chosen by the server itself, -nolisten tcp,
# cookie authorization), the openbox window manager, and a trayer panel along
# the bottom edge that reserves its height as a strut (and embeds tray icons).
# Each is waited for by polling the X server, never by fixed sleeps. Then
# COMMAND runs with this environment:
#
#   DISPLAY, XAUTHORITY        the private display (cookie authorization)
#   XDG_RUNTIME_DIR            private, mode 0700
#   XDG_CONFIG_HOME            private and empty: a real, fresh settings file
#   VENTREL_E2E_SCREEN         the screen size, e.g. 1366x768
#   VENTREL_E2E_PANEL_HEIGHT   the height the panel reserves (0 without one)
#   VENTREL_E2E_PANEL_EDGE     bottom or top
#   VENTREL_E2E_WM             1 when a window manager runs, 0 with --no-wm
#   VENTREL_E2E_WM_NAME        its name, as given to --wm
#   VENTREL_E2E_LIB            a shell library to source (desktop-lib.sh):
#                              start_client, frame_geometry, wait_for, ...
#   VENTREL_E2E_DIR            a scratch directory, removed afterwards
#
# Everything started here is stopped by process id when COMMAND ends, fails
# or is interrupted. The exit status is COMMAND's, or 125 when the desktop
# could not be started.
#
# Options:
#   --no-panel        no trayer: nothing reserves space on the screen
#   --no-wm           no window manager (and no panel): no _NET_ACTIVE_WINDOW
#   --wm NAME         the window manager: openbox (default), xfwm4 (compositing,
#                     so GTK windows draw shadows), kwin (KWin on X11), metacity,
#                     mutter, fluxbox or icewm; their own panels are turned off
#   --size WxH        screen size (default 1366x768)
#   --panel-height N  height of the trayer panel (default 26)
#   --panel-edge E    bottom (default) or top
#   --keep-config     keep the caller's XDG_CONFIG_HOME instead of a fresh one
#
# Starting a test client window from a script (xmessage accepts any size;
# xterm does not, it resizes in character cells):
#
#   . "$VENTREL_E2E_LIB"
#   win=$(start_client 800x600+40+30 my-title)   # waits until it is active
#   frame_geometry "$win"                         # prints: x y width height
#
# From C++, start `xmessage -geometry WxH+X+Y -title T text` with QProcess and
# poll _NET_ACTIVE_WINDOW until it names a window whose WM_NAME is T.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
size=1366x768
panel=1
wm=1
wm_name=openbox
panel_height=26
panel_edge=bottom
keep_config=0

usage() { sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//' >&2; exit 125; }

while [ $# -gt 0 ]; do
  case $1 in
    --no-panel) panel=0; shift ;;
    --no-wm) wm=0; panel=0; shift ;;
    --wm) wm_name=${2:?}; shift 2 ;;
    --size) size=${2:?}; shift 2 ;;
    --panel-height) panel_height=${2:?}; shift 2 ;;
    --panel-edge) panel_edge=${2:?}; shift 2 ;;
    --keep-config) keep_config=1; shift ;;
    --help) usage ;;
    --) shift; break ;;
    -*) echo "with-desktop: unknown option $1" >&2; usage ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || usage
[[ $panel_edge =~ ^(bottom|top)$ ]] || { echo "with-desktop: --panel-edge is bottom or top" >&2; exit 125; }
[[ $size =~ ^[0-9]+x[0-9]+$ ]] || { echo "with-desktop: bad --size $size" >&2; exit 125; }

for tool in Xvfb xauth xdpyinfo xprop; do
  command -v "$tool" >/dev/null || { echo "with-desktop: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 125; }
done
declare -A wm_commands=(
  [openbox]="openbox --sm-disable"
  [xfwm4]="xfwm4 --compositor=on --sm-client-disable"
  [kwin]="kwin_x11"
  [metacity]="metacity"
  [mutter]="mutter --x11 --sm-disable"
  [fluxbox]="fluxbox -rc $here/wm/fluxbox-init"
  [icewm]="icewm"
)
[ -n "${wm_commands[$wm_name]:-}" ] || { echo "with-desktop: unknown window manager $wm_name" >&2; exit 125; }
wm_command=${wm_commands[$wm_name]}
[ $wm -eq 0 ] || command -v "${wm_command%% *}" >/dev/null || { echo "with-desktop: ${wm_command%% *} is missing" >&2; exit 125; }
[ $panel -eq 0 ] || command -v trayer >/dev/null || { echo "with-desktop: trayer is missing" >&2; exit 125; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/ventrel-desktop.XXXXXX")
pids=()
cleanup() {
  local status=$?
  # Newest first, so clients go before the server they talk to; fluxbox
  # may ignore TERM, so what is still there after a bounded wait is killed.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  local deadline=$((SECONDS + 5))
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    while kill -0 "${pids[i]}" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.05; done
    kill -9 "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$dir"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() { echo "with-desktop: $*" >&2; [ -s "$dir/log" ] && sed 's/^/  | /' "$dir/log" >&2; exit 125; }

# wait_for SECONDS COMMAND...: polls the server, never a fixed sleep.
. "$here/desktop-lib.sh"

mkdir -m 0700 "$dir/runtime"
export XDG_RUNTIME_DIR=$dir/runtime
if [ $keep_config -eq 0 ]; then
  mkdir "$dir/config"
  export XDG_CONFIG_HOME=$dir/config
fi
export VENTREL_E2E_DIR=$dir
export VENTREL_E2E_SCREEN=$size
export VENTREL_E2E_LIB=$here/desktop-lib.sh

# The server learns the cookie from this file at start; the entry for the
# display it picks is added once that is known.
export XAUTHORITY=$dir/Xauthority
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
touch "$XAUTHORITY"
xauth -q -f "$XAUTHORITY" add :0 . "$cookie"

: >"$dir/log"
Xvfb -displayfd 3 -nolisten tcp -noreset -auth "$XAUTHORITY" -screen 0 "${size}x24" 3>"$dir/display" 2>>"$dir/log" &
pids+=($!)
has_display() { [ -s "$dir/display" ] && [ "$(tail -c1 "$dir/display" | od -An -c | tr -d ' ')" = '\n' ]; }
wait_for 10 has_display || fail "Xvfb did not start"
export DISPLAY=:$(tr -d '[:space:]' <"$dir/display")
xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$cookie"
wait_for 10 xdpyinfo || fail "Xvfb on $DISPLAY does not answer"

export VENTREL_E2E_WM=$wm VENTREL_E2E_WM_NAME=$wm_name
if [ $wm -eq 1 ]; then
  # Each manager's own settings, panels and session parts stay in the
  # scratch folder and off: only the trayer panel below reserves space.
  export HOME=$dir/home ICEWM_PRIVCFG=$here/wm/icewm
  mkdir -p "$HOME"
  # fluxbox runs fbsetbg for its wallpaper, which fails here and says so in
  # an xmessage window: a stray client the tests would find. A stand-in that
  # does nothing comes first on its PATH.
  if [ "$wm_name" = fluxbox ]; then
    mkdir -p "$dir/bin"
    printf '#!/bin/sh\nexit 0\n' >"$dir/bin/fbsetbg"
    chmod +x "$dir/bin/fbsetbg"
    wm_command="env PATH=$dir/bin:$PATH $wm_command"
  fi
  if [ "$wm_name" = kwin ] || [ "$wm_name" = mutter ] || [ "$wm_name" = metacity ] || [ "$wm_name" = xfwm4 ]; then
    # They look for a session bus; a private one keeps them off the caller's.
    if [ -z "${VENTREL_E2E_OWN_BUS:-}" ]; then
      eval "$(dbus-launch --sh-syntax)"
      pids+=("$DBUS_SESSION_BUS_PID")
      export VENTREL_E2E_OWN_BUS=1
    fi
  fi
  # shellcheck disable=SC2086
  QT_QPA_PLATFORM=xcb $wm_command >>"$dir/log" 2>&1 &
  pids+=($!)
  # The check window comes early in a manager's start; the work area once it
  # manages windows (KWin and icewm write none until something reserves space). A
  # panel mapped in between may never be managed.
  wm_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' &&
      { [ "$wm_name" = kwin ] || [ "$wm_name" = icewm ] || xprop -root _NET_WORKAREA | grep -q "="; }
  }
  wait_for 20 wm_ready || fail "$wm_name did not start"
fi

screen_height=${size#*x}
if [ $panel -eq 1 ]; then
  work_area_shrunk() {
    local area y h
    area=$(xprop -root _NET_WORKAREA | sed -n 's/.*= *[0-9]*, *\([0-9]*\), *[0-9]*, *\([0-9]*\).*/\1 \2/p')
    read -r y h <<<"$area"
    [ -n "$h" ] && [ "$h" -eq $((screen_height - panel_height)) ] &&
      { [ "$panel_edge" = bottom ] || [ "$y" -eq "$panel_height" ]; }
  }
  # Now and then (about one start in forty here, more under load) trayer
  # creates its panel and sets the strut but never maps the window, and then
  # sits idle; a fresh trayer maps it. So: a few tries, each bounded.
  for attempt in 1 2 3; do
    # Without --SetPartialStrut trayer reserves no space.
    trayer --edge "$panel_edge" --align center --widthtype percent --width 100 --height "$panel_height" \
      --SetDockType true --SetPartialStrut true --transparent false >>"$dir/log" 2>&1 &
    trayer_pid=$!
    pids+=($trayer_pid)
    wait_for 4 work_area_shrunk && break
    echo "with-desktop: trayer attempt $attempt did not map its panel" >>"$dir/log"
    kill "$trayer_pid" 2>/dev/null || true
    wait "$trayer_pid" 2>/dev/null || true
    [ $attempt -lt 3 ] || { xprop -root _NET_WORKAREA >>"$dir/log" 2>&1; fail "trayer did not reserve its strut"; }
  done
  export VENTREL_E2E_PANEL_HEIGHT=$panel_height VENTREL_E2E_PANEL_EDGE=$panel_edge
else
  export VENTREL_E2E_PANEL_HEIGHT=0 VENTREL_E2E_PANEL_EDGE=$panel_edge
fi

# In the background, so that a TERM (a CTest timeout) reaches the trap at
# once instead of after the command; stdin stays the caller's.
"$@" <&0 &
command_pid=$!
pids+=($command_pid)
status=0
wait "$command_pid" || status=$?
exit "$status"
