#include "platform/gnome/GnomeShellWindow.h"

#include "platform/gnome/GnomeShellProtocol.h"
#include "platform/gnome/GnomeShellWindowSystem.h"
#include "window/WindowSystem.h"

#include <QDBusArgument>
#include <QDBusMessage>

#include <cmath>

namespace {

bool inRange(double value, double low)
{
    return std::isfinite(value) && value >= low && value <= GnomeShellProtocol::limit;
}

} // namespace

std::expected<QRectF, PlatformError> GnomeShellWindow::setFrame(const QRectF& frame)
{
    const double limit = GnomeShellProtocol::limit;
    if (!inRange(frame.x(), -limit) || !inRange(frame.y(), -limit) || !inRange(frame.width(), 1) ||
        !inRange(frame.height(), 1))
        return std::unexpected(PlatformError::invalidValue);
    const QRect pixels = WindowSystem::pixelFrame(frame);
    QDBusArgument target;
    target.beginStructure();
    target << pixels.x() << pixels.y() << pixels.width() << pixels.height();
    target.endStructure();
    return send(QStringLiteral("MoveResize"), {QVariant::fromValue(m_id), QVariant::fromValue(target)});
}

std::expected<QRectF, PlatformError> GnomeShellWindow::setSize(const QSizeF& size)
{
    if (!inRange(size.width(), 1) || !inRange(size.height(), 1))
        return std::unexpected(PlatformError::invalidValue);
    const int width = static_cast<int>(std::lround(size.width()));
    const int height = static_cast<int>(std::lround(size.height()));
    return send(QStringLiteral("Resize"), {QVariant::fromValue(m_id), width, height});
}

std::expected<QRectF, PlatformError> GnomeShellWindow::send(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call = GnomeShellProtocol::call(method);
    call.setArguments(arguments);
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, GnomeShellWindowSystem::moveTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::unexpected(GnomeShellProtocol::error(reply));
    if (reply.signature() != QLatin1String("(iiii)"))
        return std::unexpected(PlatformError::unreachable);
    const std::optional<QRect> frame = GnomeShellProtocol::frame(reply.arguments().at(0).value<QDBusArgument>());
    if (!frame)
        return std::unexpected(PlatformError::unreachable);
    m_frame = *frame;
    return QRectF(*frame);
}
