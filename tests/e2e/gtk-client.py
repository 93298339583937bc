#!/usr/bin/python3
"""gtk-client.py [WxH+X+Y] TITLE [fixed|--fixed|maximized|fullscreen]: a GTK 3 window, Wayland
or X11 as GDK_BACKEND says. Placed, it draws its own title bar (client-side decorations), else
it is 500x300; a fixed one cannot be resized (WM_NORMAL_HINTS min = max)."""
import re
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

place = re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", sys.argv[1])
title, *mode = sys.argv[2:] if place else sys.argv[1:]
mode = "".join(mode).lstrip("-")
w, h, x, y = map(int, place.groups()) if place else (500, 300, 0, 0)
window = Gtk.Window(title=title)
if place:
    window.set_titlebar(Gtk.HeaderBar(title=title, show_close_button=True))
    window.move(x, y)
window.set_default_size(w, h)
if mode == "fixed" and not place:  # placed, the size asked is the area below the title bar
    window.set_size_request(w, h)
window.set_resizable(mode != "fixed")
{"maximized": window.maximize, "fullscreen": window.fullscreen}.get(mode, lambda: None)()
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
