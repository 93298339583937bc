#!/usr/bin/python3
"""What a screen reader finds in our windows, read through AT-SPI.

a11y-check.py focus             the focused object as "role|name|description|checked"
a11y-check.py object NAME       the same for the shown object called NAME
a11y-check.py audit TITLE       checks the shown window TITLE as a whole; prints
                                each problem, exits 1 when there is one
a11y-check.py menu-focus CMD... the item a menu opened by CMD makes current, within 5 s
"""
import subprocess
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

R = Atspi.Role
S = Atspi.StateType
CONTROLS = {R.PUSH_BUTTON, R.TOGGLE_BUTTON, R.CHECK_BOX, R.TEXT, R.ENTRY, R.LIST_ITEM, R.LIST, R.LINK}


def has(node, state):
    return node.get_state_set().contains(state)


def shown(node):
    """Depth first, only what shows."""
    if node is None or not has(node, S.SHOWING):
        return
    yield node
    for i in range(node.get_child_count()):
        yield from shown(node.get_child_at_index(i))


def windows():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "Ventrel":
            for j in range(app.get_child_count()):
                yield app.get_child_at_index(j)


def line(node):
    role = node.get_role_name()
    checked = "checked" if has(node, S.CHECKED) else ("unchecked" if has(node, S.CHECKABLE) else "")
    return f"{role}|{node.get_name()}|{node.get_description()}|{checked}"


def focused():
    found = None
    for window in windows():
        for node in shown(window):
            if has(node, S.FOCUSED):
                found = node  # the deepest: a row within its focused list
    return found


def named(name):
    for window in windows():
        for node in shown(window):
            if node.get_name() == name:
                return node
    return None


def ancestors(node):
    parent = node.get_parent()
    while parent is not None:
        yield parent
        parent = parent.get_parent()


def audit(title):
    window = next((w for w in windows() if w.get_name() == title and has(w, S.SHOWING)), None)
    if window is None:
        return [f"no window titled {title!r} shows"]
    problems = []
    if window.get_role() not in (R.FRAME, R.DIALOG):
        problems.append(f"the window is a {window.get_role_name()}")
    seen = {}
    for node in shown(window):
        role = node.get_role()
        if role not in CONTROLS and not has(node, S.FOCUSABLE):
            continue
        name = node.get_name()
        if not name:
            problems.append(f"a {node.get_role_name()} has no name")
            continue
        # Rows are told apart by their contents; the sidebar's items name the panes.
        if role != R.LIST_ITEM:
            if name in seen:
                problems.append(f"two controls are called {name!r}")
            seen[name] = node
        if name.startswith(("Hide ", "Show ")) and name.endswith((" from menu", " in menu")):
            if has(node, S.CHECKED) != name.startswith("Hide "):
                problems.append(f"{name!r} reports checked={has(node, S.CHECKED)}")
            if not any(a.get_role() == R.LIST_ITEM for a in ancestors(node)):
                problems.append(f"{name!r} is not within its row")
        if role == R.CHECK_BOX and not node.get_description():
            problems.append(f"the check box {name!r} has no description")
    return problems


def menu_focus(command):
    result = []

    def current(event):
        if event.detail1 and event.source.get_role() in (R.MENU_ITEM, R.MENU):
            result.append(event.source.get_name())
            Atspi.event_quit()

    listener = Atspi.EventListener.new(current)
    listener.register("object:state-changed:focused")
    GLib.idle_add(lambda: subprocess.run(command) and False)
    GLib.timeout_add(5000, lambda: Atspi.event_quit() and False)
    Atspi.event_main()
    return result[0] if result else None


def main(args):
    if args[0] == "focus":
        node = focused()
        print(line(node) if node else "")
        return 0 if node else 1
    if args[0] == "object":
        node = named(args[1])
        print(line(node) if node else "")
        return 0 if node else 1
    if args[0] == "audit":
        problems = audit(args[1])
        for problem in problems:
            print(problem)
        return 1 if problems else 0
    if args[0] == "menu-focus":
        name = menu_focus(args[1:])
        print(name or "")
        return 0 if name else 1
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
