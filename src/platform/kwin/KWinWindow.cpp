#include "platform/kwin/KWinWindow.h"

#include "platform/kwin/KWinAnswer.h"
#include "platform/kwin/KWinWindowSystem.h"

#include <algorithm>
#include <cmath>

KWinWindow::KWinWindow(KWinWindowSystem& system, QString id, QRect frame, QSize minSize, QSize maxSize,
                       bool fullScreen)
    : m_system(system), m_id(std::move(id)), m_frame(frame), m_minSize(minSize), m_maxSize(maxSize),
      m_fullScreen(fullScreen)
{
}

QRectF KWinWindow::frame() const
{
    return m_frame;
}

std::expected<QRectF, PlatformError> KWinWindow::setFrame(const QRectF& frame)
{
    const bool finite = std::isfinite(frame.x()) && std::isfinite(frame.y()) && std::isfinite(frame.width())
                        && std::isfinite(frame.height());
    if (!finite || std::abs(frame.x()) > KWinAnswer::limit || std::abs(frame.y()) > KWinAnswer::limit)
        return std::unexpected(PlatformError::invalidValue);
    return place(WindowSystem::pixelFrame(frame), false);
}

std::expected<QRectF, PlatformError> KWinWindow::setSize(const QSizeF& size)
{
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()))
        return std::unexpected(PlatformError::invalidValue);
    // The place it had when looked up: for a maximized window, the corner of
    // the work area, not wherever restoring it would put it first.
    return place(WindowSystem::pixelFrame(QRectF(m_frame.topLeft(), size)), true);
}

std::expected<QRectF, PlatformError> KWinWindow::place(const QRect& target, bool sizeOnly)
{
    if (m_fullScreen)
        return std::unexpected(PlatformError::refused);
    if (target.width() < 1 || target.height() < 1 || target.width() > KWinAnswer::limit
        || target.height() > KWinAnswer::limit)
        return std::unexpected(PlatformError::invalidValue);
    // KWin holds a window to its minimum and maximum size at once; knowing
    // that, the wait can end as soon as the client has taken the size.
    QSize expectedSize = target.size().expandedTo(m_minSize);
    if (m_maxSize.width() > 0 && m_maxSize.height() > 0)
        expectedSize = expectedSize.boundedTo(m_maxSize.expandedTo(m_minSize));
    // A window that cannot take any part of the new size stays where it is,
    // so that the window logic sees the refusal.
    if (expectedSize == m_frame.size() && target.size() != m_frame.size())
        return QRectF(m_frame);
    const QRect expected(target.topLeft(), expectedSize);
    auto placed = m_system.place(m_id, target, expected, sizeOnly);
    if (!placed)
        return std::unexpected(placed.error());
    m_frame = *placed;
    return QRectF(*placed);
}
