#include "platform/gnome/GnomeShellProtocol.h"

#include <QDBusArgument>
#include <QHash>

#include <algorithm>

std::optional<QRect> GnomeShellProtocol::frame(const QDBusArgument& argument)
{
    if (argument.currentSignature() != QLatin1String("(iiii)"))
        return std::nullopt;
    int x = 0, y = 0, width = 0, height = 0;
    argument.beginStructure();
    argument >> x >> y >> width >> height;
    argument.endStructure();
    if (width <= 0 || height <= 0)
        return std::nullopt;
    const auto clamp = [](int value, int low) { return std::clamp(value, low, limit); };
    return QRect(clamp(x, -limit), clamp(y, -limit), clamp(width, 1), clamp(height, 1));
}

PlatformError GnomeShellProtocol::error(const QDBusMessage& reply)
{
    static const QHash<QString, PlatformError> ours = {
        {QStringLiteral("NoFocus"), PlatformError::noFrontmostApplication},
        {QStringLiteral("NoWindow"), PlatformError::noFocusedWindow},
        {QStringLiteral("OwnWindow"), PlatformError::noFocusedWindow},
        {QStringLiteral("Gone"), PlatformError::windowGone},
        {QStringLiteral("Refused"), PlatformError::refused},
        {QStringLiteral("InvalidValue"), PlatformError::invalidValue},
    };
    const QString prefix = QLatin1String(interface) + QLatin1String(".Error.");
    const QString name = reply.errorName();
    if (name.startsWith(prefix))
        return ours.value(name.mid(prefix.size()), PlatformError::unreachable);
    if (name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        name == QLatin1String("org.freedesktop.DBus.Error.Timeout"))
        return PlatformError::timedOut;
    return PlatformError::unreachable;
}

QDBusMessage GnomeShellProtocol::call(const QString& method)
{
    return QDBusMessage::createMethodCall(QLatin1String(service), QLatin1String(path), QLatin1String(interface),
                                          method);
}
