#pragma once

#include "window/WindowSystem.h"

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <chrono>
#include <memory>

// Window control on X11 through the EWMH window manager: the frontmost
// application is the window named by the root's _NET_ACTIVE_WINDOW, writes
// are _NET_MOVERESIZE_WINDOW requests to the window manager, and the main
// screen is the RandR primary output with _NET_WORKAREA as its usable part.
//
// Positions and sizes are those of the outer frame (title bar and borders
// included), in X's top-left coordinates; screen rectangles are flipped into
// bottom-left coordinates around the main screen's height, so the window
// logic's own flip gives back X coordinates.
//
// Every X error (a window that vanished between two calls, a bad value) is a
// non-zero status, never a crash.
class X11WindowSystem final : public WindowSystem {
public:
    // Connects to the display named by displayName (DISPLAY when null).
    // Nothing when no X server can be reached.
    static std::unique_ptr<X11WindowSystem> connect(const char* displayName = nullptr);
    ~X11WindowSystem() override;

    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    // No permission exists on X11: always true, and prompting does nothing.
    bool isProcessTrusted(bool prompt) override;
    // The active window, or nothing when none is active or no EWMH window
    // manager runs.
    std::optional<ApplicationId> frontmostApplication() override;
    ElementPtr createApplicationElement(ApplicationId application) override;
    // No window for desktop and dock windows and for this process's own windows.
    FocusedWindow copyFocusedWindow(const Element& application) override;
    std::optional<Screen> mainScreen() override;
    // A maximized window is restored first; a full-screen one is refused.
    int setPosition(const Element& window, QPointF position) override;
    int setSize(const Element& window, QSizeF size) override;

    // How long a restore from maximized may take to settle before the frame
    // extents are taken as they are.
    static constexpr std::chrono::milliseconds restoreTimeout{250};

private:
    struct WindowElement;
    struct Extents {
        int left = 0, right = 0, top = 0, bottom = 0;
    };

    X11WindowSystem(xcb_connection_t* connection, int screenNumber);

    bool connected() const;
    xcb_window_t root() const;
    static bool isOwnWindow(const xcb_get_property_reply_t* pid, const xcb_get_property_reply_t* machine);
    int prepare(const WindowElement& window);
    void restore(xcb_window_t window);
    int moveResize(xcb_window_t window, uint32_t flags, int x, int y, int width, int height);

    xcb_ewmh_connection_t m_ewmh{};
    int m_screenNumber = 0;
    xcb_atom_t m_gtkFrameExtents = XCB_ATOM_NONE;
    bool m_atomsReady = false;
};
