#!/usr/bin/python3
# A plain GTK 3 window for the desktop tests: native Wayland or X11 as
# GDK_BACKEND says. Usage: gtk_window.py TITLE WIDTH HEIGHT [fixed|maximized|fullscreen]
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

title, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
mode = sys.argv[4] if len(sys.argv) > 4 else ""
window = Gtk.Window(title=title)
window.set_default_size(width, height)
if mode == "fixed":
    window.set_size_request(width, height)
    window.set_resizable(False)
if mode == "fullscreen":
    window.fullscreen()
if mode == "maximized":
    window.maximize()
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
