#!/usr/bin/python3
"""A desktop portal with the real GlobalShortcuts and host Registry interfaces, on the session
bus it is started on. Like a desktop, it assigns the preferred trigger; org.ventrel.FakePortal
presses a shortcut and lists the registered apps."""
from gi.repository import Gio, GLib

XML = """<node>
  <interface name="org.freedesktop.portal.GlobalShortcuts">
    <method name="CreateSession"><arg type="a{sv}" direction="in"/><arg type="o" direction="out"/></method>
    <method name="BindShortcuts">
      <arg type="o" direction="in"/><arg type="a(sa{sv})" direction="in"/><arg type="s" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="o" direction="out"/>
    </method>
    <signal name="Activated"><arg type="o"/><arg type="s"/><arg type="t"/><arg type="a{sv}"/></signal>
    <property name="version" type="u" access="read"/>
  </interface>
  <interface name="org.freedesktop.host.portal.Registry">
    <method name="Register"><arg type="s" direction="in"/><arg type="a{sv}" direction="in"/></method>
  </interface>
  <interface name="org.ventrel.FakePortal">
    <method name="Press"><arg type="s" direction="in"/></method>
    <method name="Registered"><arg type="as" direction="out"/></method>
  </interface>
</node>"""
PATH = "/org/freedesktop/portal/desktop"
IFACE = "org.freedesktop.portal.GlobalShortcuts"
registered, sessions, triggers = [], {}, {}


def request_path(sender, token):
    return f"{PATH}/request/{sender[1:].replace('.', '_')}/{token}"


def respond(conn, sender, path, results):
    # The answer comes after the call has returned, as from a real portal.
    GLib.idle_add(lambda: conn.emit_signal(sender, path, "org.freedesktop.portal.Request", "Response",
                                           GLib.Variant("(ua{sv})", (0, results))) and False)


def shortcut_list(session):
    # "topHalf" it leaves out, as a desktop that wants the user to assign keys first.
    return [(i, {"description": GLib.Variant("s", d), "trigger_description": GLib.Variant("s", triggers[i])})
            for i, d in sessions[session].items() if i != "topHalf"]


def call(conn, sender, path, iface, method, params, invocation):
    args = params.unpack()
    if method == "Register":
        registered.append(args[0])
        invocation.return_value(None)
    elif method == "CreateSession":
        session = f"{PATH}/session/{sender[1:].replace('.', '_')}/{args[0]['session_handle_token']}"
        sessions[session] = {}
        handle = request_path(sender, args[0]["handle_token"])
        invocation.return_value(GLib.Variant("(o)", (handle,)))
        respond(conn, sender, handle, {"session_handle": GLib.Variant("s", session)})
    elif method == "BindShortcuts":
        session, shortcuts, _, options = args
        sessions[session] = {i: o["description"] for i, o in shortcuts}
        for i, o in shortcuts:
            triggers[i] = o.get("preferred_trigger", "").replace("CTRL", "Ctrl").replace("ALT", "Alt")
        handle = request_path(sender, options["handle_token"])
        invocation.return_value(GLib.Variant("(o)", (handle,)))
        respond(conn, sender, handle, {"shortcuts": GLib.Variant("a(sa{sv})", shortcut_list(session))})
    elif method == "Press":
        for session, ids in sessions.items():
            if args[0] in ids:
                conn.emit_signal(None, PATH, IFACE, "Activated", GLib.Variant("(osta{sv})", (session, args[0], 0, {})))
        invocation.return_value(None)
    elif method == "Registered":
        invocation.return_value(GLib.Variant("(as)", (registered,)))


def acquired(conn, name):
    for interface in Gio.DBusNodeInfo.new_for_xml(XML).interfaces:  # the one property is "version"
        conn.register_object(PATH, interface, call, lambda *_: GLib.Variant("u", 1), None)


Gio.bus_own_name(Gio.BusType.SESSION, "org.freedesktop.portal.Desktop", Gio.BusNameOwnerFlags.NONE,
                 acquired, None, lambda *_: loop.quit())  # objects exist before the name does
loop = GLib.MainLoop()
loop.run()
