#!/usr/bin/python3
"""a11y-find.py APP NAME: prints "x y", the screen centre of the first showing
object of the application APP whose accessible name is NAME, as a screen
reader finds it; exits 1 when there is none."""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def find(node, name):
    if node is None:
        return None
    states = node.get_state_set()
    if node.get_name() == name and states.contains(Atspi.StateType.SHOWING):
        return node
    for i in range(node.get_child_count()):
        found = find(node.get_child_at_index(i), name)
        if found is not None:
            return found
    return None


def main(app_name, name):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is None or app.get_name() != app_name:
            continue
        found = find(app, name)
        if found is not None:
            box = found.get_extents(Atspi.CoordType.SCREEN)
            print(box.x + box.width // 2, box.y + box.height // 2)
            return 0
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
