#!/usr/bin/python3
"""What a screen reader finds in our windows, read through AT-SPI.

a11y-check.py focus             the focused object as "role|name|description|checked"
a11y-check.py object NAME       the same for the shown object called NAME
a11y-check.py audit TITLE       prints each problem of the shown window TITLE
a11y-check.py menu-focus CMD... the item a menu opened by CMD makes current, within 5 s
a11y-check.py where NAME        "x y", the screen centre of the shown object called NAME
a11y-check.py menu-item NAME CMD...
                                the same for an item of the menu CMD opens, within 5 s (Qt
                                leaves popup menus out of the tree, announcing them as they show)"""
import subprocess
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

R, S = Atspi.Role, Atspi.StateType
CONTROLS = {R.PUSH_BUTTON, R.TOGGLE_BUTTON, R.CHECK_BOX, R.TEXT, R.ENTRY, R.LIST_ITEM, R.LIST, R.LINK}


def has(node, state):
    return node.get_state_set().contains(state)


def walk(node):
    """The node and everything shown within it, depth first."""
    if node is not None and has(node, S.SHOWING):
        yield node
        for i in range(node.get_child_count()):
            yield from walk(node.get_child_at_index(i))


def windows():
    desktop = Atspi.get_desktop(0)
    for app in (desktop.get_child_at_index(i) for i in range(desktop.get_child_count())):
        if app is not None and app.get_name() == "Ventrel":
            yield from (app.get_child_at_index(i) for i in range(app.get_child_count()))


def line(node):
    if node is not None:
        checked = "checked" if has(node, S.CHECKED) else ""
        return f"{node.get_role_name()}|{node.get_name()}|{node.get_description()}|{checked}"


def audit(title):
    window = next((w for w in windows() if w.get_name() == title and has(w, S.SHOWING)), None)
    if window is None or window.get_role() not in (R.FRAME, R.DIALOG):
        return [f"no frame or dialog titled {title!r} shows"]
    problems, seen = [], set()
    for node in walk(window):
        role, name = node.get_role(), node.get_name()
        if role not in CONTROLS and not has(node, S.FOCUSABLE):
            continue
        if not name:
            problems.append(f"a {node.get_role_name()} has no name")
        elif role != R.LIST_ITEM:  # rows are told apart by their contents
            if name in seen:
                problems.append(f"two controls are called {name!r}")
            seen.add(name)
        if role == R.CHECK_BOX and not node.get_description():
            problems.append(f"the check box {name!r} has no description")
    return problems


def after(command, event, answer):
    """The first answer(event source) that is not None, for events of that
    kind while CMD runs; None after 5 s."""
    result = []

    def heard(e):
        found = answer(e.source) if e.detail1 else None
        if found is not None:
            result.append(found)
            Atspi.event_quit()

    listener = Atspi.EventListener.new(heard)
    listener.register(event)
    GLib.idle_add(lambda: subprocess.run(command) and False)
    GLib.timeout_add(5000, lambda: Atspi.event_quit() and False)
    Atspi.event_main()
    return result[0] if result else None


def centre(node):
    box = node and node.get_extents(Atspi.CoordType.SCREEN)
    return box and f"{box.x + box.width // 2} {box.y + box.height // 2}"


def named(nodes, name):
    return next((n for n in nodes if n.get_name() == name), None)


def main(command, *args):
    shown = (node for window in windows() for node in walk(window))
    if command == "audit":
        print("\n".join(audit(args[0])))
        return 0
    if command == "focus":  # the deepest: a row within its focused list
        answer = line(next((n for n in reversed(list(shown)) if has(n, S.FOCUSED)), None))
    elif command == "object":
        answer = line(named(shown, args[0]))
    elif command == "where":
        answer = centre(named(shown, args[0]))
    elif command == "menu-item":
        answer = after(list(args[1:]), "object:state-changed:showing",
                       lambda menu: centre(named(walk(menu), args[0])) if menu.get_role() == R.POPUP_MENU else None)
    else:
        answer = after(list(args), "object:state-changed:focused",
                       lambda item: item.get_name() if item.get_role() == R.MENU_ITEM else None)
    print(answer or "")
    return 0 if answer else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
