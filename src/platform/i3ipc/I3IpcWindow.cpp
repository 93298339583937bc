#include "platform/i3ipc/I3IpcWindow.h"

#include "platform/i3ipc/I3IpcWindowSystem.h"

I3IpcWindow::I3IpcWindow(I3IpcWindowSystem& system, QJsonObject container, qint64 id, const QRectF& frame)
    : m_system(system)
    , m_container(std::move(container))
    , m_id(id)
    , m_frame(frame)
{
}

QRectF I3IpcWindow::frame() const
{
    return m_frame;
}

std::expected<QRectF, PlatformError> I3IpcWindow::setFrame(const QRectF& frame)
{
    return m_system.place(*this, frame);
}

std::expected<QRectF, PlatformError> I3IpcWindow::setSize(const QSizeF& size)
{
    // Both compositors grow a floating window about its centre, and float a
    // tiled one in the middle of the screen, so the top-left is written too.
    return m_system.place(*this, QRectF(m_frame.topLeft(), size));
}
