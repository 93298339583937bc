#pragma once

#include <QProcess>
#include <QRect>
#include <QString>

#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What the end-to-end tests know about the virtual desktop that
// tests/e2e/with-desktop.sh started, read straight from the X server with code
// of their own (not the backend's), and test client windows on it.
class DesktopProbe {
public:
    DesktopProbe();
    ~DesktopProbe();

    bool isConnected() const;
    xcb_connection_t* connection() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    xcb_atom_t atom(const char* name) const;

    // As with-desktop.sh describes the desktop it made.
    static QSize screenSize();
    static int panelHeight();
    static bool panelOnTop();
    static bool hasWindowManager();
    // The usable area the panel leaves, in X coordinates.
    static QRect expectedWorkArea();

    xcb_window_t activeWindow() const;
    QString title(xcb_window_t window) const;
    // The outer frame in X coordinates: the client's place and size widened by
    // the window manager's _NET_FRAME_EXTENTS. Nothing once the window is gone.
    std::optional<QRect> frame(xcb_window_t window) const;
    std::vector<uint32_t> cardinals(xcb_window_t window, const char* property) const;
    std::vector<xcb_atom_t> atoms(xcb_window_t window, const char* property) const;
    bool isMaximized(xcb_window_t window) const;

    // Polls every 10 ms until done() holds or timeout passes.
    static bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Waits until the frame equals expected, or has stopped changing for a
    // while; returns the last frame seen (an empty rectangle once the window
    // is gone; a QRect, so that a failed comparison prints it).
    QRect settledFrame(xcb_window_t window, const QRect& expected) const;

    // An xmessage window (it accepts any size) with the given geometry
    // "WxH+X+Y" and title; waits until it is the active window (or, without
    // a window manager, until it is mapped). Zero on failure.
    xcb_window_t startClient(const QString& geometry, const QString& title);
    // Closes every client started here and waits until their windows are
    // gone. (openbox leaves _NET_ACTIVE_WINDOW naming the last one.)
    void closeClients();
    // Writes _NET_ACTIVE_WINDOW on the root as a window manager would.
    void setActiveWindow(xcb_window_t window);

    // Asks the window manager to maximize the window and waits until it has.
    bool maximize(xcb_window_t window);

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    std::vector<std::unique_ptr<QProcess>> m_clients;
    std::vector<xcb_window_t> m_clientWindows;
};
