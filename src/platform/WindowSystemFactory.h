#pragma once

#include "window/WindowSystem.h"

#include <QString>

#include <functional>
#include <memory>

// Chooses the window backend for this session, once, at run time. The order
// (first match wins):
//   1. sway        SWAYSOCK names sway's IPC socket
//   2. i3          I3SOCK, or the I3_SOCKET_PATH property of the X root window
//   3. KWin        a Wayland session with org.kde.KWin on the session bus
//   4. GNOME Shell a Wayland session with org.gnome.Shell on the session bus
//   5. X11/EWMH    DISPLAY reaches an X server with an EWMH window manager
//   6. none        every action reports "No active window found."
// VENTREL_BACKEND=<name> forces one (for tests and for the curious).
class WindowSystemFactory {
public:
    enum class Backend { sway, i3, kwin, gnome, x11, macos, none };

    // What the choice depends on. probe() reads it from the real session;
    // the tests fill it in by hand.
    struct Environment {
        QString forced;        // VENTREL_BACKEND
        QString swaySocket;    // SWAYSOCK
        QString i3Socket;      // I3SOCK, else I3_SOCKET_PATH on the X root
        QString waylandDisplay;
        QString display;
        QString sessionType;   // XDG_SESSION_TYPE
        bool kwinOnBus = false;
        bool gnomeShellOnBus = false;
        bool ewmhWindowManager = false;
        bool macos = false;
        // For `ventrel doctor`: a tray to show our icon in.
        bool systemTray = false;             // an XEmbed tray on X11
        bool statusNotifierWatcher = false;  // org.kde.StatusNotifierWatcher on the bus
    };

    struct Choice {
        Backend backend = Backend::none;
        // Why, in words for `ventrel doctor`: "SWAYSOCK is set", ...
        QString reason;
    };

    static Choice choose(const Environment& environment);

    // Reads the whole session, the tray included. create() asks the session
    // bus and the X server only as far as the order needs.
    static Environment probe();

    // The backend for this session. Never null: when the chosen backend
    // cannot connect, the next one in the order is tried, and finally the
    // one that reports no active window. choice (if given) receives what was
    // used and why.
    static std::unique_ptr<WindowSystem> create(Choice* choice = nullptr);

    static QString backendName(Backend backend);
    static std::optional<Backend> backendFromName(const QString& name);
};
