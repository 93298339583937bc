# Shell helpers for commands run by with-gnome.sh; source "$VENTREL_E2E_LIB".
# Every wait polls; none is a fixed sleep.

# wait_for SECONDS COMMAND...: polls COMMAND every 10 ms until it succeeds.
wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.01
  done
}

# shell_eval JS: runs JS in the Shell (--unsafe-mode, tests only); prints the
# raw reply and fails when the Shell reports an error.
shell_eval() {
  local reply
  reply=$(gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.gnome.Shell.Eval "$1") || return 1
  [[ $reply == "(true,"* ]] || { echo "$reply" >&2; return 1; }
  echo "$reply"
}

# shell_eval_value JS: the value of JS as text (strings without their quotes).
shell_eval_value() {
  shell_eval "$1" | sed -n "s/^(true, '\(.*\)')\$/\1/p" | sed 's/^"\(.*\)"$/\1/'
}

# shell_eval_is VALUE JS: true when JS evaluates to VALUE.
shell_eval_is() { [ "$(shell_eval_value "$2")" = "$1" ]; }

extension_answers() {
  gdbus call --session -d org.gnome.Shell -o /app/ventrel/WindowControl \
    -m org.freedesktop.DBus.Properties.Get app.ventrel.WindowControl1 Version
}

# focused_title: the title of the focused window, empty for none.
focused_title() { shell_eval_value 'global.display.focus_window?.get_title() ?? ""'; }
focused_is() { [ "$(focused_title)" = "$1" ]; }
