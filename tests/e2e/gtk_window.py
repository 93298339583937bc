#!/usr/bin/python3
# A 500x300 GTK 3 window for the desktop tests, native Wayland or X11 as
# GDK_BACKEND says; "minimum" keeps it at least 600x400.
# Usage: gtk_window.py TITLE [fixed|minimum|maximized|fullscreen]
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
elif mode == "minimum":
    window.set_size_request(600, 400)
getattr(window, {"maximized": "maximize", "fullscreen": "fullscreen"}.get(mode, "show"))()
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
