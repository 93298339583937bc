#include "platform/portal/PortalGlobalShortcuts.h"

#include <QDBusArgument>
#include <QHash>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QTimer>

namespace {

const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString interface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

using Shortcut = std::pair<QString, QVariantMap>;

QDBusMessage portalCall(const QString& method, const QString& on = interface)
{
    return QDBusMessage::createMethodCall(service, path, on, method);
}

} // namespace

Q_DECLARE_METATYPE(Shortcut)

std::unique_ptr<PortalGlobalShortcuts> PortalGlobalShortcuts::create(const QDBusConnection& bus, const QString& appId)
{
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(service))
        return nullptr;
    QDBusMessage get = QDBusMessage::createMethodCall(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << interface << QStringLiteral("version");
    const QDBusMessage reply = QDBusConnection(bus).call(get, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return nullptr;
    return std::unique_ptr<PortalGlobalShortcuts>(new PortalGlobalShortcuts(bus, appId));
}

PortalGlobalShortcuts::PortalGlobalShortcuts(const QDBusConnection& bus, const QString& appId) : m_bus(bus)
{
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    m_bus.connect(service, path, interface, QStringLiteral("Activated"), this, SLOT(onActivated(QDBusMessage)));
    m_bus.connect(service, path, interface, QStringLiteral("ShortcutsChanged"), this,
                  SLOT(onShortcutsChanged(QDBusMessage)));
    // A program outside a sandbox tells the portal who it is first, where
    // the portal offers it; older portals lack the call and guess from the process.
    QDBusMessage registration = portalCall(QStringLiteral("Register"), QStringLiteral("org.freedesktop.host.portal.Registry"));
    registration << appId << QVariantMap();
    m_bus.call(registration, QDBus::Block, 2000);
    createSession();
}

QString PortalGlobalShortcuts::requestPath(const QString& token) const
{
    QString sender = m_bus.baseService().mid(1);
    sender.replace(u'.', u'_');
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

void PortalGlobalShortcuts::createSession()
{
    const QString token = QStringLiteral("ventrel%1").arg(++m_token);
    m_createRequest = requestPath(token);
    m_bus.connect(service, m_createRequest, requestInterface, QStringLiteral("Response"), this,
                  SLOT(onResponse(uint, QVariantMap, QDBusMessage)));
    QDBusMessage call = portalCall(QStringLiteral("CreateSession"));
    call << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("session_handle_token"), QStringLiteral("ventrel")}};
    m_bus.asyncCall(call);
}

void PortalGlobalShortcuts::registerShortcut(const QString& id, const QString& description, QKeyCombination keys)
{
    Entry& entry = m_entries[id];
    if (entry.description == description && entry.keys == keys && !entry.status.detail.isEmpty())
        return;
    entry.description = description;
    entry.keys = keys;
    scheduleBind();
}

void PortalGlobalShortcuts::unregisterShortcut(const QString& id)
{
    if (m_entries.remove(id))
        scheduleBind();
    emit statusChanged(id);
}

std::optional<GlobalShortcuts::Status> PortalGlobalShortcuts::status(const QString& id) const
{
    const auto found = m_entries.constFind(id);
    if (found == m_entries.cend())
        return std::nullopt;
    return found->status;
}

void PortalGlobalShortcuts::scheduleBind()
{
    // One BindShortcuts for a burst of changes: the desktop may ask the user
    // about each call.
    if (m_bindScheduled)
        return;
    m_bindScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_bindScheduled = false;
        bind();
    });
}

void PortalGlobalShortcuts::bind()
{
    if (m_session.isEmpty())
        return; // bound once the session exists
    QList<Shortcut> shortcuts;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        QVariantMap options{{QStringLiteral("description"), it->description}};
        if (const QString trigger = preferredTrigger(it->keys); !trigger.isEmpty())
            options.insert(QStringLiteral("preferred_trigger"), trigger);
        shortcuts.append({it.key(), options});
    }
    const QString token = QStringLiteral("ventrel%1").arg(++m_token);
    m_bindRequest = requestPath(token);
    m_bus.connect(service, m_bindRequest, requestInterface, QStringLiteral("Response"), this,
                  SLOT(onResponse(uint, QVariantMap, QDBusMessage)));
    QDBusMessage call = portalCall(QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariant::fromValue(shortcuts) << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token}};
    m_bus.asyncCall(call);
}

void PortalGlobalShortcuts::onResponse(uint response, const QVariantMap& results, const QDBusMessage& message)
{
    const QString request = message.path();
    m_bus.disconnect(service, request, requestInterface, QStringLiteral("Response"), this,
                     SLOT(onResponse(uint, QVariantMap, QDBusMessage)));
    if (response != 0) {
        // 1: the user cancelled the desktop's dialog; 2: anything else.
        setAll({Status::State::unsupported, response == 1 ? QStringLiteral("Not allowed in the desktop's dialog.")
                                                           : QStringLiteral("The desktop portal refused the shortcuts.")});
        return;
    }
    if (request == m_createRequest) {
        m_session = results.value(QStringLiteral("session_handle")).toString();
        if (!m_entries.isEmpty())
            bind();
    } else if (request == m_bindRequest) {
        takeShortcuts(results.value(QStringLiteral("shortcuts")).value<QDBusArgument>());
    }
}

void PortalGlobalShortcuts::onActivated(const QDBusMessage& message)
{
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2 || arguments.at(0).value<QDBusObjectPath>().path() != m_session)
        return;
    const QString id = arguments.at(1).toString();
    if (m_entries.contains(id))
        emit activated(id);
}

void PortalGlobalShortcuts::onShortcutsChanged(const QDBusMessage& message)
{
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() == 2 && arguments.at(0).value<QDBusObjectPath>().path() == m_session)
        takeShortcuts(arguments.at(1).value<QDBusArgument>());
}

void PortalGlobalShortcuts::takeShortcuts(const QDBusArgument& argument)
{
    QList<Shortcut> shortcuts;
    argument >> shortcuts;
    QHash<QString, QString> triggers;
    for (const Shortcut& shortcut : std::as_const(shortcuts))
        triggers.insert(shortcut.first, shortcut.second.value(QStringLiteral("trigger_description")).toString());
    // The list is the session's whole: one left out has no keys from the
    // desktop yet (Plasma 5.27 binds none and opens its own settings for
    // the user to assign them), which is not the same as no support at all.
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        const QString trigger = triggers.value(it.key());
        const Status status{Status::State::managedByDesktop,
                            trigger.isEmpty() ? QStringLiteral("no keys assigned yet") : trigger};
        if (it->status == status)
            continue;
        it->status = status;
        emit statusChanged(it.key());
    }
}

void PortalGlobalShortcuts::setAll(Status status)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        it->status = status;
        emit statusChanged(it.key());
    }
}

QString PortalGlobalShortcuts::preferredTrigger(QKeyCombination keys)
{
    QStringList words;
    const Qt::KeyboardModifiers mods = keys.keyboardModifiers();
    if (mods & Qt::ControlModifier)
        words << QStringLiteral("CTRL");
    if (mods & Qt::AltModifier)
        words << QStringLiteral("ALT");
    if (mods & Qt::ShiftModifier)
        words << QStringLiteral("SHIFT");
    if (mods & Qt::MetaModifier)
        words << QStringLiteral("LOGO");
    const int key = keys.key();
    static const QHash<int, QString> named{
        {Qt::Key_Left, QStringLiteral("Left")},       {Qt::Key_Right, QStringLiteral("Right")},
        {Qt::Key_Up, QStringLiteral("Up")},           {Qt::Key_Down, QStringLiteral("Down")},
        {Qt::Key_Home, QStringLiteral("Home")},       {Qt::Key_End, QStringLiteral("End")},
        {Qt::Key_PageUp, QStringLiteral("Prior")},    {Qt::Key_PageDown, QStringLiteral("Next")},
        {Qt::Key_Return, QStringLiteral("Return")},   {Qt::Key_Space, QStringLiteral("space")},
        {Qt::Key_Tab, QStringLiteral("Tab")},         {Qt::Key_Delete, QStringLiteral("Delete")},
        {Qt::Key_Insert, QStringLiteral("Insert")},   {Qt::Key_Escape, QStringLiteral("Escape")}};
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        words << QString(QChar(key + 0x20));
    else if (key >= Qt::Key_0 && key <= Qt::Key_9)
        words << QString(QChar(key));
    else if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        words << QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    else if (named.contains(key))
        words << named.value(key);
    else
        return {};
    return words.join(u'+');
}
