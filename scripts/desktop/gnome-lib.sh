# Helpers for commands run by with-gnome.sh; source "$VENTREL_E2E_LIB".

# wait_for and the other X helpers, for Xwayland windows.
. "$(dirname "${BASH_SOURCE[0]}")/desktop-lib.sh"

# shell_eval JS: runs JS in the Shell (tests only); fails on a JS error.
shell_eval() {
  local reply
  reply=$(gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.gnome.Shell.Eval "$1") || return 1
  [[ $reply == "(true,"* ]] || { echo "$reply" >&2; return 1; }
  echo "$reply"
}

# shell_eval_value JS: JS's value as text; shell_eval_is VALUE JS.
shell_eval_value() { shell_eval "$1" | sed -n "s/^(true, '\(.*\)')\$/\1/p" | sed 's/^"\(.*\)"$/\1/'; }
shell_eval_is() { [ "$(shell_eval_value "$2")" = "$1" ]; }
focused_is() { shell_eval_is "$1" 'global.display.focus_window?.get_title()'; }
# focus TITLE: asks the Shell to focus that window until it has (10 s at most).
focus() { wait_for 10 _focus "$1"; }
_focus() {
  shell_eval "global.get_window_actors().map(a => a.meta_window).find(w => w.get_title() === '$1')
    ?.activate(global.display.get_current_time_roundtrip())" >/dev/null && focused_is "$1"
}
