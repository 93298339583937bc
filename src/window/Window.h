#pragma once

#include "window/PlatformError.h"

#include <QRectF>
#include <QSizeF>

#include <expected>

// One window of another application, found by WindowSystem::focusedWindow().
// Frames are outer frames (title bar, borders and any client-side shadow
// excluded: what the user sees as the window) in the global top-left
// coordinate space of WindowSystem::Screen.
//
// Each write is one request where the platform has one, and returns the frame
// the window really got once it has settled: the backend waits for that,
// driven by events and bounded by a deadline, never by a fixed sleep. A
// window that ignores the request comes back unchanged; the window logic, not
// the backend, decides whether that is a refusal.
class Window {
public:
    virtual ~Window() = default;

    // The outer frame when the window was looked up.
    virtual QRectF frame() const = 0;

    // Moves and resizes in one step. Values need not be whole numbers; an
    // integer backend places the rounded edges (so thirds meet edge to edge),
    // see WindowSystem::pixelFrame().
    virtual std::expected<QRectF, PlatformError> setFrame(const QRectF& frame) = 0;

    // Resizes, keeping the top-left corner where the window manager keeps it.
    virtual std::expected<QRectF, PlatformError> setSize(const QSizeF& size) = 0;
};
