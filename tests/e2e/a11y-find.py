#!/usr/bin/python3
"""Finds an object of ours by its accessible name, as a screen reader does,
and prints "x y", the screen centre of it; exits 1 when there is none.

a11y-find.py NAME             an object of one of our windows, now
a11y-find.py --menu NAME CMD  an item of the menu that CMD opens, within 5 s
                              (Qt leaves popup menus out of the tree and only
                              announces them as they show)
"""
import subprocess
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


def find(node, name):
    if node is None:
        return None
    if node.get_name() == name and node.get_state_set().contains(Atspi.StateType.SHOWING):
        return node
    for i in range(node.get_child_count()):
        found = find(node.get_child_at_index(i), name)
        if found is not None:
            return found
    return None


def centre(node):
    box = node.get_extents(Atspi.CoordType.SCREEN)
    return f"{box.x + box.width // 2} {box.y + box.height // 2}"


def in_windows(name):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "Ventrel":
            found = find(app, name)
            if found is not None:
                return centre(found)
    return None


def in_menu(name, command):
    result = []

    def shown(event):
        if event.source.get_role() == Atspi.Role.POPUP_MENU and event.detail1:
            found = find(event.source, name)
            if found is not None:
                result.append(centre(found))
                Atspi.event_quit()

    listener = Atspi.EventListener.new(shown)
    listener.register("object:state-changed:showing")
    GLib.idle_add(lambda: subprocess.run(command) and False)
    GLib.timeout_add(5000, lambda: Atspi.event_quit() and False)
    Atspi.event_main()
    return result[0] if result else None


def main(args):
    if args[0] == "--menu":
        where = in_menu(args[1], args[2:])
    else:
        where = in_windows(args[0])
    if where is None:
        return 1
    print(where)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
