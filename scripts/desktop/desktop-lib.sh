# Shell helpers for scripts run by with-desktop.sh; source "$VENTREL_E2E_LIB".
# Every wait polls the X server; none is a fixed sleep.

# wait_for SECONDS COMMAND...: polls COMMAND every 10 ms until it succeeds.
wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.01
  done
}

# active_window: the window named by _NET_ACTIVE_WINDOW, in hex (0x0 for none).
active_window() {
  xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*window id # \(0x[0-9a-f]*\).*/\1/p'
}

# window_title WINDOW: its WM_NAME.
window_title() {
  xprop -id "$1" WM_NAME 2>/dev/null | sed -n 's/^WM_NAME([^)]*) = "\(.*\)"$/\1/p'
}

_title_is_active() {
  local w
  w=$(active_window)
  [ -n "$w" ] && [ "$w" != 0x0 ] && [ "$(window_title "$w")" = "$1" ]
}

# start_client GEOMETRY TITLE: opens an xmessage window (it accepts any size)
# and waits until the window manager has made it active; prints its id.
start_client() {
  xmessage -geometry "$1" -title "$2" "$2" >/dev/null 2>&1 &
  wait_for 10 _title_is_active "$2" || { echo "start_client: $2 never became active" >&2; return 1; }
  active_window
}

# frame_geometry WINDOW: the outer frame, decorations included, as
# "x y width height": the client's place from xwininfo widened by the
# window manager's _NET_FRAME_EXTENTS (xdotool getwindowgeometry misreports).
frame_geometry() {
  local info extents x y w h l r t b
  info=$(xwininfo -id "$1") || return 1
  x=$(sed -n 's/.*Absolute upper-left X: *\(-\{0,1\}[0-9]*\).*/\1/p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *\(-\{0,1\}[0-9]*\).*/\1/p' <<<"$info")
  w=$(sed -n 's/^ *Width: *\([0-9]*\).*/\1/p' <<<"$info")
  h=$(sed -n 's/^ *Height: *\([0-9]*\).*/\1/p' <<<"$info")
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *\([0-9, ]*\)$/\1/p' | tr -d ' ')
  IFS=, read -r l r t b <<<"${extents:-0,0,0,0}"
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

# For with-sway.sh and with-i3.sh: harness_start NAME makes the scratch folder
# $dir; on exit every process id in $pids is stopped, newest first, and $dir
# removed. harness_run COMMAND... runs the command in the background (so that
# a TERM from a CTest timeout reaches the trap at once) and exits with its status.
harness_start() {
  dir=$(mktemp -d "${TMPDIR:-/tmp}/ventrel-$1.XXXXXX")
  pids=()
  trap '_harness_stop $?' EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}
_harness_stop() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; wait "${pids[i]}" 2>/dev/null || true; done
  rm -rf "$dir"
  exit "$1"
}
harness_run() {
  "$@" <&0 &
  pids+=($!)
  local status=0
  wait "${pids[-1]}" || status=$?
  exit "$status"
}
