#!/usr/bin/env bash
# channel.sh VENTREL: `ventrel` hands a command only to a socket that is this
# user's alone, the app there takes it only from its own session, and
# `ventrel` acts by itself, within its bound, when the listener never answers.
set -uo pipefail
ventrel=$1 here=$(dirname "$0")
. "$here/../../scripts/desktop/desktop-lib.sh"
root=$(mktemp -d) server=
chmod 0711 "$root" # a listener run as nobody must reach its folder
trap 'kill $server 2>/dev/null; rm -rf "$root"' EXIT
export XDG_RUNTIME_DIR=$root/runtime TMPDIR=$root/tmp VENTREL_BACKEND=none
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK I3SOCK
folder=$XDG_RUNTIME_DIR/ventrel socket=$XDG_RUNTIME_DIR/ventrel/instance
failures=0
direct="1 No active window found."

# serve MODE OWNER: a fake app in a fresh private folder; OWNER (folder,
# socket or process) is nobody's instead.
serve() {
  kill $server 2>/dev/null; wait $server 2>/dev/null
  rm -rf "$XDG_RUNTIME_DIR" && mkdir -m 0711 "$XDG_RUNTIME_DIR" && mkdir -m 0700 "$folder"
  local as=()
  [ "$2" = process ] && { chown nobody "$folder"; as=(setpriv --reuid=nobody --regid=nogroup --clear-groups); }
  "${as[@]}" /usr/bin/python3 "$here/fake-app.py" "$socket" "$1" &
  server=$!
  wait_for 5 test -S "$socket" || { echo "FAIL: no fake app"; exit 1; }
  chown root "$folder" "$socket"
  case $2 in folder) chown nobody "$folder" ;; socket) chown nobody "$socket" ;; esac
}
check() { # NAME EXPECTED
  local start=$EPOCHREALTIME out status
  out=$("$ventrel" snap leftHalf 2>&1); status=$?
  local ms=$(( (${EPOCHREALTIME/./} - ${start/./}) / 1000 ))
  if [[ "$status $out" != $2 ]] || [ $ms -gt 3000 ]; then
    failures=$((failures + 1)); echo "FAIL: $1: expected [$2], got [$status $out] after $ms ms"
  fi
}

serve answer none && check "our own socket is used" "0 from the socket"
serve answer folder && check "a folder of another user's is not" "$direct"
serve answer socket && check "a socket of another user's is not" "$direct"
serve answer process && check "a listener of another user's is not" "$direct"
serve silent none && check "an app that never answers is left behind" \
  "1 ventrel: the running Ventrel did not answer within 500 ms; acting without it
No active window found."

# The real app, headless, takes a command from its own session only. A copy
# with no libraries beside it can act through the app alone.
kill $server; rm -rf "$XDG_RUNTIME_DIR" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
QT_QPA_PLATFORM=offscreen "$ventrel" 2>/dev/null &
server=$!
wait_for 10 test -S "$socket" || { echo "FAIL: the tray app does not listen"; exit 1; }
mkdir "$root/bin" && cp "$ventrel" "$root/bin/"
ventrel=$root/bin/ventrel check "the app acts for its own session" "$direct"
XDG_CONFIG_HOME=$root/elsewhere ventrel=$root/bin/ventrel check "and not for another" "1 ventrel: cannot load *"
[ $failures -eq 0 ] && echo "channel checked"
