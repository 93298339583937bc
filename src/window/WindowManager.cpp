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

bool isFinite(const QRectF& r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && isWindowSize(r.width(), r.height());
}

// Compared in whole pixels: backends place whole pixels, and a window that
// ends where it started (to the pixel) did not take the change.
bool refused(const QRectF& before, const QRectF& requested, const QRectF& achieved)
{
    const QRect was = WindowSystem::pixelFrame(before);
    const QRect asked = WindowSystem::pixelFrame(requested);
    const QRect got = WindowSystem::pixelFrame(achieved);
    const bool sizeRefused = asked.size() != was.size() && got.size() == was.size();
    const bool moveRefused = asked.topLeft() != was.topLeft() && got.topLeft() == was.topLeft();
    return sizeRefused || moveRefused;
}

} // namespace

WindowManager::WindowManager(WindowSystem& system, ScreenChoice screen) : m_system(system), m_screenChoice(screen) {}

QRectF WindowManager::flipped(const QRectF& rect)
{
    return {rect.x(), -rect.y() - rect.height(), rect.width(), rect.height()};
}

const WindowSystem::Screen* WindowManager::chooseScreen(const WindowSystem::Screens& screens, ScreenChoice choice,
                                                        const std::optional<QRectF>& frame)
{
    const WindowSystem::Screen* main =
        screens.main && *screens.main < screens.all.size() ? &screens.all[*screens.main] : nullptr;
    if (choice == ScreenChoice::main || !frame)
        return main;
    const WindowSystem::Screen* best = nullptr;
    double bestArea = 0;
    for (const WindowSystem::Screen& screen : screens.all) {
        const QRectF shared = screen.frame.intersected(*frame);
        if (const double area = shared.width() * shared.height(); area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    return best ? best : main;
}

std::expected<WindowManager::Change, WindowError>
WindowManager::finish(const QRectF& before, const QRectF& requested,
                      const std::expected<QRectF, PlatformError>& achieved, WindowError failure)
{
    if (!achieved) {
        m_lastPlatformError = achieved.error();
        return std::unexpected(failure);
    }
    if (refused(before, requested, *achieved)) {
        m_lastPlatformError = PlatformError::refused;
        return std::unexpected(failure);
    }
    return Change{before, requested, *achieved};
}

std::expected<WindowManager::Change, WindowError> WindowManager::resizeFocusedWindow(double width, double height)
{
    m_lastPlatformError.reset();
    if (!isWindowSize(width, height)) {
        m_lastPlatformError = PlatformError::invalidValue;
        return std::unexpected(WindowError::resizeFailed);
    }
    if (!m_system.isProcessTrusted(false))
        return std::unexpected(WindowError::accessibilityNotGranted);
    auto window = m_system.focusedWindow();
    if (!window) {
        m_lastPlatformError = window.error();
        return std::unexpected(WindowError::noActiveWindow);
    }
    const QRectF before = (*window)->frame();

    const WindowSystem::Screens screens = m_system.screens();
    if (const WindowSystem::Screen* screen = chooseScreen(screens, m_screenChoice, before)) {
        width = std::min(screen->workArea.width(), width);
        height = std::min(screen->workArea.height(), height);
        if (!isWindowSize(width, height)) {
            m_lastPlatformError = PlatformError::invalidValue;
            return std::unexpected(WindowError::resizeFailed);
        }
    }
    const QRectF requested(before.topLeft(), QSizeF(width, height));
    return finish(before, requested, (*window)->setSize(requested.size()), WindowError::resizeFailed);
}

std::expected<WindowManager::Change, WindowError> WindowManager::snapFocusedWindow(SnapPosition position)
{
    m_lastPlatformError.reset();
    if (!m_system.isProcessTrusted(false))
        return std::unexpected(WindowError::accessibilityNotGranted);
    auto window = m_system.focusedWindow();
    // No frontmost application is reported before the screen is looked at,
    // a frontmost application without a window only after.
    if (!window && window.error() == PlatformError::noFrontmostApplication) {
        m_lastPlatformError = window.error();
        return std::unexpected(WindowError::noActiveWindow);
    }
    const std::optional<QRectF> before = window ? std::optional((*window)->frame()) : std::nullopt;
    const WindowSystem::Screens screens = m_system.screens();
    const WindowSystem::Screen* screen = chooseScreen(screens, m_screenChoice, before);
    if (!screen)
        return std::unexpected(WindowError::snapFailed);
    if (!window) {
        m_lastPlatformError = window.error();
        return std::unexpected(WindowError::noActiveWindow);
    }

    const QRectF target = flipped(position.frame(flipped(screen->workArea)));
    if (!isFinite(target)) {
        m_lastPlatformError = PlatformError::invalidValue;
        return std::unexpected(WindowError::snapFailed);
    }
    return finish(*before, target, (*window)->setFrame(target), WindowError::snapFailed);
}
