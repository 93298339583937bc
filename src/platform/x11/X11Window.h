#pragma once

#include "window/Window.h"

#include <QRect>

#include <xcb/xcb.h>

#include <chrono>
#include <optional>

class X11WindowSystem;

// A top-level client window and what its lookup learnt: its state and the
// decorations around it, in the round trip that found it.
//
// Frames are what the user sees as the window: the client widened by the
// window manager's decorations (_NET_FRAME_EXTENTS) and narrowed by a
// client-side-decorated window's invisible shadow (_GTK_FRAME_EXTENTS).
class X11Window final : public Window {
public:
    // Decorations on each side, as in _NET_FRAME_EXTENTS.
    struct Extents {
        int left = 0, right = 0, top = 0, bottom = 0;
        friend bool operator==(const Extents&, const Extents&) = default;
    };

    // Where the client window is (root coordinates) and what surrounds it.
    struct Geometry {
        QRect client;
        Extents frame;
        Extents shadow;
        bool hasShadowProperty = false;
        QRect outer() const;
    };

    // The requests that read a Geometry, sent together so that reading it
    // costs one round trip, alone or alongside other requests.
    struct GeometryRequests {
        xcb_get_geometry_cookie_t geometry;
        xcb_translate_coordinates_cookie_t position;
        xcb_get_property_cookie_t frame, shadow;
    };
    static GeometryRequests requestGeometry(X11WindowSystem& system, xcb_window_t window);
    // windowGone when the window has vanished, timedOut past the deadline.
    static std::expected<Geometry, PlatformError> readGeometry(X11WindowSystem& system, const GeometryRequests& requests);

    X11Window(X11WindowSystem& system, xcb_window_t window, const Geometry& geometry, bool maximized, bool fullScreen);
    ~X11Window() override;

    QRectF frame() const override { return m_geometry.outer(); }
    // A maximized window is restored first; a full-screen one is refused.
    std::expected<QRectF, PlatformError> setFrame(const QRectF& frame) override;
    std::expected<QRectF, PlatformError> setSize(const QSizeF& size) override;

    // Decoration sizes beyond this are a client's or manager's nonsense, not
    // decorations, and are taken as none.
    static constexpr int largestExtent = 256;

    // How long a window has to change after a request (generous: a loaded
    // machine delays the manager); one that has changed and then stays quiet
    // for quietPeriod has settled.
    static constexpr std::chrono::milliseconds settleTimeout{1000};
    static constexpr std::chrono::milliseconds quietPeriod{100};

private:
    std::expected<QRectF, PlatformError> write(uint32_t flags, const QRect& target);
    bool sendMoveResize(uint32_t flags, const QRect& target);
    std::expected<void, PlatformError> restore();
    std::expected<Geometry, PlatformError> currentGeometry();
    // Waits, driven by events, until the frame is target or has settled.
    // shadowDue: a client-side-decorated window's shadow is still to come back.
    std::expected<Geometry, PlatformError> settle(const QRect& target, bool sizeOnly, bool shadowDue);
    void watch(bool on);

    X11WindowSystem& m_system;
    xcb_window_t m_window;
    Geometry m_geometry;
    bool m_maximized;
    bool m_fullScreen;
    bool m_watching = false;
};
