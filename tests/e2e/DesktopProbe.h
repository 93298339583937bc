#pragma once

#include <QProcess>
#include <QRect>
#include <QString>

#include <xcb/xcb.h>

#include <memory>
#include <optional>
#include <vector>

// What the end-to-end tests know about the virtual desktop that
// scripts/desktop/with-desktop.sh started, read straight from the X server with code
// of their own (not the backend's), and test client windows on it.
class DesktopProbe {
public:
    DesktopProbe();
    ~DesktopProbe();

    bool isConnected() const { return m_connection && !xcb_connection_has_error(m_connection) && m_root; }
    xcb_connection_t* connection() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    xcb_atom_t atom(const char* name) const;
    void sync() const; // one round trip: every request sent so far has been handled

    // As with-desktop.sh describes the desktop it made.
    static bool hasWindowManager();
    static QRect expectedWorkArea(); // what the panel leaves, in X coordinates

    // A 32-bit property; empty when missing.
    std::vector<uint32_t> property(xcb_window_t window, const char* name, xcb_atom_t type = XCB_ATOM_CARDINAL) const;
    xcb_window_t activeWindow() const;
    // The client widened by _NET_FRAME_EXTENTS, in X coordinates; none once gone.
    std::optional<QRect> clientFrame(xcb_window_t window) const;
    // What the user sees as the window: clientFrame less a client-side
    // decorated window's shadow (_GTK_FRAME_EXTENTS).
    std::optional<QRect> frame(xcb_window_t window) const;
    bool isMaximized(xcb_window_t window) const;

    // The frame once it equals expected or has stopped changing (empty once gone).
    QRect settledFrame(xcb_window_t window, const QRect& expected) const;

    enum class Client {
        xmessage,     // takes any size
        gtk,          // GTK 3 drawing its own title bar (and, composited, a shadow)
        fixedSizeGtk, // the same, not resizable
        xterm,        // sizes in character cells; geometry in cells too
    };
    // A client window at "WxH+X+Y"; waits until it is active and placed
    // (without a window manager, until it exists). 0 on failure.
    xcb_window_t startClient(const QString& geometry, const QString& title, Client kind = Client::xmessage);
    // Closes every client and waits until their windows are gone (openbox
    // leaves _NET_ACTIVE_WINDOW naming the last one).
    void closeClients();
    // Writes _NET_ACTIVE_WINDOW on the root as a window manager would.
    void setActiveWindow(xcb_window_t window);
    // Asks the window manager to maximize the window and waits until it has.
    bool maximize(xcb_window_t window);

private:
    QByteArray bytes(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, int format) const;

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    std::vector<std::unique_ptr<QProcess>> m_clients;
    std::vector<xcb_window_t> m_clientWindows;
};
