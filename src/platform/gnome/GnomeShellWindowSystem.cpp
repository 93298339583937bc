#include "platform/gnome/GnomeShellWindowSystem.h"

#include "platform/gnome/GnomeShellProtocol.h"
#include "platform/gnome/GnomeShellWindow.h"

#include <QDBusArgument>
#include <QDBusMessage>

#include <cstdio>
#include <utility>

std::unique_ptr<GnomeShellWindowSystem> GnomeShellWindowSystem::connect()
{
    GnomeShellExtension::Status status{};
    std::unique_ptr<GnomeShellWindowSystem> system = connect(QDBusConnection::sessionBus(), &status);
    static bool said = false;
    if (!system && status != GnomeShellExtension::Status::noShell && !std::exchange(said, true))
        std::fprintf(stderr, "ventrel: %s\n", qPrintable(GnomeShellExtension::explanation(status)));
    return system;
}

std::unique_ptr<GnomeShellWindowSystem> GnomeShellWindowSystem::connect(const QDBusConnection& bus,
                                                                        GnomeShellExtension::Status* status)
{
    const GnomeShellExtension::Status found = GnomeShellExtension::probe(bus);
    if (status)
        *status = found;
    if (found != GnomeShellExtension::Status::ready)
        return nullptr;
    return std::unique_ptr<GnomeShellWindowSystem>(new GnomeShellWindowSystem(bus));
}

std::expected<std::unique_ptr<Window>, PlatformError> GnomeShellWindowSystem::focusedWindow()
{
    m_screensFromFocus.reset();
    const QDBusMessage reply = m_bus.call(GnomeShellProtocol::call(QStringLiteral("Focused")), QDBus::Block,
                                          readTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::unexpected(GnomeShellProtocol::error(reply));
    if (reply.signature() != QLatin1String("t(iiii)sasia((iiii)(iiii))i"))
        return std::unexpected(PlatformError::unreachable);
    const QVariantList values = reply.arguments();
    const std::optional<QRect> frame = GnomeShellProtocol::frame(values.at(1).value<QDBusArgument>());
    if (!frame)
        return std::unexpected(PlatformError::unreachable);
    m_screensFromFocus = readScreens(values.at(5).value<QDBusArgument>(), values.at(6).toInt());
    return std::make_unique<GnomeShellWindow>(m_bus, values.at(0).toULongLong(), *frame);
}

WindowSystem::Screens GnomeShellWindowSystem::screens()
{
    if (std::optional<Screens> learnt = std::exchange(m_screensFromFocus, std::nullopt))
        return *learnt;
    const QDBusMessage reply = m_bus.call(GnomeShellProtocol::call(QStringLiteral("Screens")), QDBus::Block,
                                          readTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != QLatin1String("a((iiii)(iiii))i"))
        return {};
    return readScreens(reply.arguments().at(0).value<QDBusArgument>(), reply.arguments().at(1).toInt())
        .value_or(Screens{});
}

std::optional<WindowSystem::Screens> GnomeShellWindowSystem::readScreens(const QDBusArgument& monitors, int primary)
{
    Screens screens;
    monitors.beginArray();
    while (!monitors.atEnd()) {
        monitors.beginStructure();
        const std::optional<QRect> frame = GnomeShellProtocol::frame(monitors);
        const std::optional<QRect> workArea = GnomeShellProtocol::frame(monitors);
        monitors.endStructure();
        if (!frame || !workArea)
            return std::nullopt;
        // A work area is part of its monitor; one reaching outside is not
        // trusted beyond it.
        screens.all.push_back({QRectF(*frame), QRectF(workArea->intersected(*frame))});
    }
    monitors.endArray();
    if (primary >= 0 && static_cast<size_t>(primary) < screens.all.size())
        screens.main = static_cast<size_t>(primary);
    return screens;
}
