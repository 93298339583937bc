#include "platform/kwin/KWinBridge.h"

#include <QDBusError>
#include <QJsonDocument>

#include <chrono>

KWinBridge::KWinBridge(QDBusConnection connection, QObject* parent)
    : QObject(parent), m_connection(std::move(connection))
{
    using namespace std::chrono_literals;
    static int bridges = 0;
    m_path = QStringLiteral("/app/ventrel/KWinBridge%1").arg(++bridges);
    m_exported = m_connection.registerObject(m_path, this, QDBusConnection::ExportAllSlots);
    m_keepAlive.setInterval(20s);
    m_keepAlive.setSingleShot(true);
    connect(&m_keepAlive, &QTimer::timeout, this, [this] { deliver(QJsonObject{{QStringLiteral("op"), QStringLiteral("idle")}}); });
}

KWinBridge::~KWinBridge()
{
    if (m_exported)
        m_connection.unregisterObject(m_path);
}

bool KWinBridge::fromScript(const QString& token)
{
    return calledFromDBus() && message().service() == m_kwinService && !m_token.isEmpty() && token == m_token;
}

QString KWinBridge::next(const QString& token)
{
    if (!fromScript(token)) {
        // An error ends that script's loop: KWin runs no callback for it.
        if (calledFromDBus())
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("not the current script"));
        return {};
    }
    setDelayedReply(true);
    m_waiting = message();
    if (!m_queue.empty()) {
        const QJsonObject command = m_queue.front();
        m_queue.pop_front();
        deliver(command);
    } else {
        m_keepAlive.start();
    }
    emit scriptAsked();
    return {};
}

void KWinBridge::answer(const QString& token, const QString& json)
{
    if (!fromScript(token))
        return;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    if (document.isObject())
        emit answered(document.object());
}

void KWinBridge::send(const QJsonObject& command)
{
    if (m_waiting)
        deliver(command);
    else
        m_queue.push_back(command);
}

void KWinBridge::deliver(const QJsonObject& command)
{
    if (!m_waiting)
        return;
    m_keepAlive.stop();
    QJsonObject versioned = command;
    versioned.insert(QStringLiteral("v"), 1);
    if (!versioned.contains(QStringLiteral("id")))
        versioned.insert(QStringLiteral("id"), 0);
    const QString text = QString::fromUtf8(QJsonDocument(versioned).toJson(QJsonDocument::Compact));
    m_connection.send(m_waiting->createReply(text));
    m_waiting.reset();
}

void KWinBridge::reset(const QString& token, const QString& kwinService)
{
    m_token = token;
    m_kwinService = kwinService;
    m_waiting.reset();
    m_queue.clear();
    m_keepAlive.stop();
}
