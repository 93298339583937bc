#!/usr/bin/python3
# The smallest StatusNotifierWatcher with a host, as a Plasma panel registers
# it: prints the bus name of every item that registers.
import sys

from gi.repository import Gio, GLib

XML = """<node><interface name="org.kde.StatusNotifierWatcher">
<method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
</interface></node>"""


def call(connection, sender, path, interface, method, parameters, invocation):
    service = parameters.unpack()[0]  # RegisterStatusNotifierItem, the one method
    print(sender if service.startswith("/") else service, flush=True)
    invocation.return_value(None)


def export(connection, name):
    connection.register_object("/StatusNotifierWatcher", Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0], call,
                               lambda *_: GLib.Variant("b", True))


Gio.bus_own_name(Gio.BusType.SESSION, "org.kde.StatusNotifierWatcher", 0, export, None, lambda *_: sys.exit(1))
GLib.MainLoop().run()
