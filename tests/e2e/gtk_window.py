#!/usr/bin/python3
# A 500x300 GTK 3 window for the desktop tests, native Wayland or X11 as
# GDK_BACKEND says. Usage: gtk_window.py TITLE [fixed|maximized|fullscreen]
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

window = Gtk.Window(title=sys.argv[1])
window.set_default_size(500, 300)
mode = sys.argv[2] if len(sys.argv) > 2 else ""
if mode == "fixed":
    window.set_size_request(500, 300)
    window.set_resizable(False)
getattr(window, {"maximized": "maximize", "fullscreen": "fullscreen"}.get(mode, "show"))()
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
