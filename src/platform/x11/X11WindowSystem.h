#pragma once

#include "platform/x11/X11Window.h"
#include "platform/x11/XcbReply.h"
#include "window/WindowSystem.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcbext.h>

#include <chrono>
#include <memory>
#include <optional>

// Window control on X11 through the EWMH window manager: the focused window is
// the one named by the root's _NET_ACTIVE_WINDOW, writes are one
// _NET_MOVERESIZE_WINDOW request each, and the screens are RandR's monitors
// with _NET_WORKAREA as their usable part (the RandR primary is the main one).
//
// Every wait on the server is bounded: replies are polled for on the
// connection's file descriptor with a deadline, so a server grabbed by another
// client or a window manager that never answers gives PlatformError::timedOut,
// never a hang. Every X error (a window that vanished) is a value too.
class X11WindowSystem final : public WindowSystem {
public:
    using Clock = std::chrono::steady_clock;

    // Connects to the display named by displayName (DISPLAY when null).
    // Nothing when no X server can be reached.
    static std::unique_ptr<X11WindowSystem> connect(const char* displayName = nullptr);
    ~X11WindowSystem() override;

    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    QString name() const override { return QStringLiteral("x11"); }
    // No permission exists on X11: always true, and prompting does nothing.
    bool isProcessTrusted(bool prompt) override;
    // noFrontmostApplication when no EWMH window manager runs or none is
    // active; noFocusedWindow for desktop and dock windows and our own.
    std::expected<std::unique_ptr<Window>, PlatformError> focusedWindow() override;
    Screens screens() override;

    // The given top-level window, looked up as the focused one would be.
    std::expected<std::unique_ptr<Window>, PlatformError> window(xcb_window_t window);

    // Whether an EWMH window manager runs (its check window names itself).
    bool hasWindowManager();
    // Whether a system tray (the _NET_SYSTEM_TRAY selection) has an owner.
    bool hasSystemTray();
    // i3's IPC socket as i3 publishes it on the root window (I3_SOCKET_PATH);
    // empty when i3 is not the window manager.
    QString i3SocketPath();

    // The longest any one operation waits for the server.
    static constexpr std::chrono::milliseconds replyTimeout{1000};

private:
    friend class X11Window;

    struct LookupRequests {
        xcb_window_t window;
        xcb_get_property_cookie_t type, pid, machine, state;
        X11Window::GeometryRequests geometry;
    };
    struct ScreenRequests {
        xcb_get_property_cookie_t desktop, workarea;
        std::optional<xcb_randr_get_monitors_cookie_t> monitors;
    };

    X11WindowSystem(xcb_connection_t* connection, int screenNumber);

    xcb_connection_t* connection() const { return m_ewmh.connection; }
    bool connected() const;
    xcb_window_t root() const;
    const xcb_ewmh_connection_t& ewmh() const { return m_ewmh; }
    xcb_atom_t gtkFrameExtents() const { return m_gtkFrameExtents; }

    // Starts an operation's deadline.
    void begin();
    bool timedOut() const { return m_timedOut; }
    // The reply to a request, waited for until the operation's deadline. None
    // on an X error or when time ran out (then timedOut() is true and the
    // reply is dropped whenever it comes).
    template <class Reply>
    XcbReply<Reply> await(unsigned int sequence);
    // Waits for the connection to have something to read, until deadline.
    bool waitReadable(Clock::time_point deadline);

    bool isOwnWindow(const xcb_get_property_reply_t* pid, const xcb_get_property_reply_t* machine) const;
    LookupRequests requestLookup(xcb_window_t window);
    std::expected<std::unique_ptr<Window>, PlatformError> readLookup(const LookupRequests& requests);
    ScreenRequests requestScreens();
    Screens readScreens(const ScreenRequests& requests);
    void discardPending();

    xcb_ewmh_connection_t m_ewmh{};
    int m_screenNumber = 0;
    xcb_atom_t m_gtkFrameExtents = XCB_ATOM_NONE;
    xcb_atom_t m_systemTray = XCB_ATOM_NONE;
    xcb_atom_t m_i3SocketPath = XCB_ATOM_NONE;
    xcb_atom_t m_utf8String = XCB_ATOM_NONE;
    bool m_atomsReady = false;
    Clock::time_point m_deadline{};
    bool m_timedOut = false;
    std::optional<ScreenRequests> m_pendingScreens;
};

template <class Reply>
XcbReply<Reply> X11WindowSystem::await(unsigned int sequence)
{
    if (m_timedOut) {
        xcb_discard_reply(connection(), sequence);
        return nullptr;
    }
    return xcbAwaitReply<Reply>(connection(), sequence, m_deadline, &m_timedOut);
}
