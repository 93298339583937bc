#!/usr/bin/python3
"""A GTK 3 window that draws its own title bar (client-side decorations).

gtk-client.py WxH+X+Y TITLE [--fixed]
With --fixed the window cannot be resized (WM_NORMAL_HINTS min = max)."""
import re
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

w, h, x, y = map(int, re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", sys.argv[1]).groups())
window = Gtk.Window(title=sys.argv[2])
bar = Gtk.HeaderBar(title=sys.argv[2], show_close_button=True)
window.set_titlebar(bar)
window.set_default_size(w, h)
window.set_resizable("--fixed" not in sys.argv)
window.move(x, y)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
