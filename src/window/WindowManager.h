#pragma once

#include "model/SnapPosition.h"
#include "window/ScreenChoice.h"
#include "window/WindowError.h"
#include "window/WindowSystem.h"

#include <expected>
#include <optional>

// Resizes or snaps the focused window of the frontmost application. Stateless
// apart from the platform it talks to and the last failure's detail; never
// shows anything itself.
class WindowManager {
public:
    // What an operation asked for and what the window really got, in the
    // window system's global top-left coordinates.
    struct Change {
        QRectF before;
        QRectF requested;
        QRectF achieved;
    };

    explicit WindowManager(WindowSystem& system, ScreenChoice screen = ScreenChoice::main);

    void setScreenChoice(ScreenChoice screen) { m_screenChoice = screen; }
    ScreenChoice screenChoice() const { return m_screenChoice; }

    // A window that changed, even to another size than asked (a terminal's
    // character cells, a minimum size), has succeeded; one that did not
    // change at all although a change was asked for has refused.
    std::expected<Change, WindowError> resizeFocusedWindow(double width, double height);
    std::expected<Change, WindowError> snapFocusedWindow(SnapPosition position);

    // Why the last operation failed, in the platform's terms, where it knows
    // more than the user's error says (for the command line's diagnostics).
    std::optional<PlatformError> lastPlatformError() const { return m_lastPlatformError; }

    // Snap rectangles are computed with a bottom-left origin and windows are
    // placed with a top-left one; this is the only place the two meet. The
    // mirror is its own inverse.
    static QRectF flipped(const QRectF& rect);

    // The screen the operation uses: the main screen, or the one holding the
    // largest part of frame (the main screen when frame is on none). Points
    // into screens, which must outlive the result.
    static const WindowSystem::Screen* chooseScreen(const WindowSystem::Screens& screens, ScreenChoice choice,
                                                    const std::optional<QRectF>& frame);

private:
    std::expected<Change, WindowError> finish(const QRectF& before, const QRectF& requested,
                                              const std::expected<QRectF, PlatformError>& achieved,
                                              WindowError failure);

    WindowSystem& m_system;
    ScreenChoice m_screenChoice;
    std::optional<PlatformError> m_lastPlatformError;
};
