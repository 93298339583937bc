#pragma once

#include "model/SnapPosition.h"
#include "window/WindowError.h"
#include "window/WindowSystem.h"

#include <expected>

// Resizes or snaps the focused window of the frontmost application. Stateless
// apart from the platform it talks to; never shows anything itself.
class WindowManager {
public:
    explicit WindowManager(WindowSystem& system);

    std::expected<void, WindowError> resizeFocusedWindow(double width, double height);
    std::expected<void, WindowError> snapFocusedWindow(SnapPosition position);

    // Screen rectangles have a bottom-left origin, window positions a top-left
    // one; this is the only place the two meet.
    static QPointF topLeftPosition(const QRectF& target, double screenHeight);

private:
    std::expected<WindowSystem::ElementPtr, WindowError> focusedWindow(WindowSystem::ApplicationId application);

    WindowSystem& m_system;
};
