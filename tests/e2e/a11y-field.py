#!/usr/bin/python3
"""Prints "x y", the middle of the shortcut field at the trailing end of the
list row whose accessible name starts with NAME, or with "delete" of the
delete button before it; exits 1 when no such row shows. (The rows' own
widgets are not in the accessibility tree.)
Usage: a11y-field.py NAME [delete]"""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

FIELD_WIDTH = 150  # ShortcutField's width


def find(node, name):
    if node is None:
        return None
    if node.get_role() == Atspi.Role.LIST_ITEM and (node.get_name() or "").startswith(name):
        return node
    for i in range(node.get_child_count()):
        found = find(node.get_child_at_index(i), name)
        if found is not None:
            return found
    return None


desktop = Atspi.get_desktop(0)
for i in range(desktop.get_child_count()):
    app = desktop.get_child_at_index(i)
    if app is not None and app.get_name() == "Ventrel":
        row = find(app, sys.argv[1])
        if row is not None:
            box = row.get_extents(Atspi.CoordType.SCREEN)
            # The field's key box is its top line, the row's middle a little above.
            if sys.argv[2:] == ["delete"]:
                print(f"{box.x + box.width - FIELD_WIDTH - 30} {box.y + box.height // 2}")
            else:
                print(f"{box.x + box.width - FIELD_WIDTH // 2 - 4} {box.y + box.height // 2 - 8}")
            sys.exit(0)
sys.exit(1)
