#include "window/WindowManager.h"

#include <algorithm>
#include <cmath>

namespace {

// Stored presets are loaded without checks, so this is where sizes that no
// window can have are stopped.
bool isWindowSize(double width, double height)
{
    return std::isfinite(width) && std::isfinite(height) && width >= 1 && height >= 1;
}

} // namespace

WindowManager::WindowManager(WindowSystem& system) : m_system(system) {}

QPointF WindowManager::topLeftPosition(const QRectF& target, double screenHeight)
{
    return {target.x(), screenHeight - target.y() - target.height()};
}

std::expected<WindowSystem::ElementPtr, WindowError>
WindowManager::focusedWindow(WindowSystem::ApplicationId application)
{
    const WindowSystem::ElementPtr app = m_system.createApplicationElement(application);
    if (!app)
        return std::unexpected(WindowError::noActiveWindow);
    WindowSystem::FocusedWindow focused = m_system.copyFocusedWindow(*app);
    if (focused.status != 0 || !focused.window)
        return std::unexpected(WindowError::noActiveWindow);
    return std::move(focused.window);
}

std::expected<void, WindowError> WindowManager::resizeFocusedWindow(double width, double height)
{
    if (!isWindowSize(width, height))
        return std::unexpected(WindowError::resizeFailed);
    if (!m_system.isProcessTrusted(false))
        return std::unexpected(WindowError::accessibilityNotGranted);
    const std::optional<WindowSystem::ApplicationId> application = m_system.frontmostApplication();
    if (!application)
        return std::unexpected(WindowError::noActiveWindow);
    auto window = focusedWindow(*application);
    if (!window)
        return std::unexpected(window.error());

    if (const std::optional<WindowSystem::Screen> screen = m_system.mainScreen()) {
        width = std::min(screen->visibleFrame.width(), width);
        height = std::min(screen->visibleFrame.height(), height);
        if (!isWindowSize(width, height))
            return std::unexpected(WindowError::resizeFailed);
    }
    if (m_system.setSize(**window, QSizeF(width, height)) != 0)
        return std::unexpected(WindowError::resizeFailed);
    return {};
}

std::expected<void, WindowError> WindowManager::snapFocusedWindow(SnapPosition position)
{
    if (!m_system.isProcessTrusted(false))
        return std::unexpected(WindowError::accessibilityNotGranted);
    const std::optional<WindowSystem::ApplicationId> application = m_system.frontmostApplication();
    if (!application)
        return std::unexpected(WindowError::noActiveWindow);
    const std::optional<WindowSystem::Screen> screen = m_system.mainScreen();
    if (!screen)
        return std::unexpected(WindowError::snapFailed);
    auto window = focusedWindow(*application);
    if (!window)
        return std::unexpected(window.error());

    const QRectF target = position.frame(screen->visibleFrame);
    if (!isWindowSize(target.width(), target.height()) || !std::isfinite(target.x()) || !std::isfinite(target.y()))
        return std::unexpected(WindowError::snapFailed);
    const int positionStatus = m_system.setPosition(**window, topLeftPosition(target, screen->frame.height()));
    // The size is written whatever became of the position.
    const int sizeStatus = m_system.setSize(**window, target.size());
    if (positionStatus != 0 || sizeStatus != 0)
        return std::unexpected(WindowError::snapFailed);
    return {};
}
