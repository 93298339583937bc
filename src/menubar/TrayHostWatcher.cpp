#include "menubar/TrayHostWatcher.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

} // namespace

bool TrayHostWatcher::waylandSession()
{
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QStringLiteral("wayland")
           || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

TrayHostWatcher::TrayHostWatcher(QDBusConnection connection, QObject* parent)
    : QObject(parent), m_connection(std::move(connection))
{
}

bool TrayHostWatcher::hostRegistered(const QDBusConnection& connection)
{
    QDBusMessage get = QDBusMessage::createMethodCall(watcherService, watcherPath,
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get.setArguments({watcherService, QStringLiteral("IsStatusNotifierHostRegistered")});
    const QDBusMessage reply = connection.call(get, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage
           && reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
}

bool TrayHostWatcher::mustWait() const
{
    return waylandSession() && m_connection.isConnected() && !hostRegistered(m_connection);
}

void TrayHostWatcher::whenReady(std::function<void()> ready)
{
    if (!mustWait()) {
        ready();
        return;
    }
    m_ready = std::move(ready);
    m_serviceWatcher = new QDBusServiceWatcher(watcherService, m_connection,
                                               QDBusServiceWatcher::WatchForRegistration, this);
    connect(m_serviceWatcher, &QDBusServiceWatcher::serviceRegistered, this, &TrayHostWatcher::hostMayHaveRegistered);
    // The watcher may come first and its host (the panel's tray) a moment later.
    m_connection.connect(watcherService, watcherPath, watcherService, QStringLiteral("StatusNotifierHostRegistered"),
                         this, SLOT(hostMayHaveRegistered()));
    // It may also have registered between the first look and now.
    hostMayHaveRegistered();
}

void TrayHostWatcher::hostMayHaveRegistered()
{
    if (!m_ready || !hostRegistered(m_connection))
        return;
    m_connection.disconnect(watcherService, watcherPath, watcherService,
                            QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(hostMayHaveRegistered()));
    delete m_serviceWatcher;
    m_serviceWatcher = nullptr;
    std::exchange(m_ready, nullptr)();
}
