#include "platform/kwin/KWinScript.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

const QString kwinService = QStringLiteral("org.kde.KWin");

QDBusMessage callKWin(const QDBusConnection& connection, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(kwinService, path, interface, method);
    message.setArguments(arguments);
    return connection.call(message, QDBus::Block, KWinScript::callTimeoutMs);
}

QDBusMessage callScripting(const QDBusConnection& connection, const QString& method, const QVariantList& arguments)
{
    return callKWin(connection, QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"), method,
                    arguments);
}

bool processRuns(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

KWinScript::KWinScript(QDBusConnection connection, QString folder)
    : m_connection(std::move(connection)), m_folder(std::move(folder))
{
}

KWinScript::~KWinScript()
{
    unload();
}

QString KWinScript::defaultFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return {};
    const QString folder = runtime + QStringLiteral("/ventrel");
    if (!QDir().mkpath(folder))
        return {};
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

QString KWinScript::pluginName(qint64 pid)
{
    return QStringLiteral("ventrel-%1-%2").arg(::getuid()).arg(pid);
}

QString KWinScript::pluginName() const
{
    return pluginName(QCoreApplication::applicationPid());
}

QString KWinScript::file() const
{
    return m_folder + QLatin1Char('/') + pluginName() + QStringLiteral(".js");
}

QByteArray KWinScript::text(const QString& service, const QString& path, const QString& token)
{
    QFile source(QStringLiteral(":/kwin/bridge.js"));
    if (!source.open(QIODevice::ReadOnly))
        return {};
    // JSON-quoted, so no name can break out of the string.
    const QJsonObject bridge{
        {QStringLiteral("service"), service}, {QStringLiteral("path"), path}, {QStringLiteral("token"), token}};
    return "var bridge = " + QJsonDocument(bridge).toJson(QJsonDocument::Compact) + ";\n" + source.readAll();
}

std::expected<void, PlatformError> KWinScript::load(const QString& service, const QString& path,
                                                    const QString& token)
{
    unload();
    if (m_folder.isEmpty())
        return std::unexpected(PlatformError::unreachable);
    const QByteArray script = text(service, path, token);
    QFile file(this->file());
    file.remove();
    if (script.isEmpty()
        || !file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner)
        || file.write(script) != script.size() || !file.flush()) {
        return std::unexpected(PlatformError::unreachable);
    }
    file.close();

    QDBusMessage reply = callScripting(m_connection, QStringLiteral("loadScript"), {file.fileName(), pluginName()});
    if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toInt() < 0
        && unloadPlugin(m_connection, pluginName())) {
        // A plugin of the same name: this pid's, left by an earlier process.
        reply = callScripting(m_connection, QStringLiteral("loadScript"), {file.fileName(), pluginName()});
    }
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().value(0).toInt() < 0) {
        QFile::remove(file.fileName());
        return std::unexpected(reply.type() == QDBusMessage::ErrorMessage
                                       && reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.NoReply")
                                   ? PlatformError::timedOut
                                   : PlatformError::unreachable);
    }
    m_loaded = true;
    const int id = reply.arguments().value(0).toInt();
    // Plasma 6 places a script at /Scripting/Script<id>, Plasma 5.27 at /<id>.
    const QString run = QStringLiteral("run");
    const QString interface = QStringLiteral("org.kde.kwin.Script");
    if (callKWin(m_connection, QStringLiteral("/Scripting/Script%1").arg(id), interface, run).type()
            != QDBusMessage::ReplyMessage
        && callKWin(m_connection, QStringLiteral("/%1").arg(id), interface, run).type()
               != QDBusMessage::ReplyMessage) {
        unload();
        return std::unexpected(PlatformError::unreachable);
    }
    return {};
}

bool KWinScript::unloadPlugin(const QDBusConnection& connection, const QString& name)
{
    const QDBusMessage reply = callScripting(connection, QStringLiteral("unloadScript"), {name});
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
}

void KWinScript::unload()
{
    if (!m_loaded)
        return;
    unloadPlugin(m_connection, pluginName());
    QFile::remove(file());
    m_loaded = false;
}

int KWinScript::removeStale(const QDBusConnection& connection, const QString& folder)
{
    if (folder.isEmpty())
        return 0;
    static const QRegularExpression name(QStringLiteral("^ventrel-(\\d+)-(\\d+)\\.js$"));
    int removed = 0;
    const QString uid = QString::number(::getuid());
    for (const QString& entry : QDir(folder).entryList({QStringLiteral("ventrel-*.js")}, QDir::Files)) {
        const QRegularExpressionMatch match = name.match(entry);
        if (!match.hasMatch() || match.captured(1) != uid)
            continue;
        const qint64 pid = match.captured(2).toLongLong();
        if (pid == QCoreApplication::applicationPid() || processRuns(pid))
            continue;
        const QString plugin = entry.chopped(3);
        const QDBusMessage loaded = callScripting(connection, QStringLiteral("isScriptLoaded"), {plugin});
        if (loaded.type() != QDBusMessage::ReplyMessage)
            return removed;
        if (loaded.arguments().value(0).toBool())
            unloadPlugin(connection, plugin);
        QFile::remove(folder + QLatin1Char('/') + entry);
        ++removed;
    }
    return removed;
}
