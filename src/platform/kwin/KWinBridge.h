#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QJsonObject>
#include <QObject>
#include <QTimer>

#include <deque>
#include <optional>

// The D-Bus object Ventrel exports for its script inside KWin. The script
// keeps one call to next() open; a command is sent as the reply to it, so an
// action costs one message each way. The script's answers arrive through
// answer(), and only from KWin's own connection.
class KWinBridge : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "app.ventrel.KWinBridge1")
public:
    explicit KWinBridge(QDBusConnection connection, QObject* parent = nullptr);
    ~KWinBridge() override;

    bool exported() const { return m_exported; }
    // Where it is exported: one path per bridge, so several can share a connection.
    const QString& path() const { return m_path; }

    // Queues a command; it goes out as soon as the script asks for the next.
    void send(const QJsonObject& command);
    // Whether the script is waiting for a command right now.
    bool scriptWaiting() const { return m_waiting.has_value(); }
    // Forgets the script that ran before (its open call is dropped) and
    // takes calls only from the one loaded with this token into the KWin at
    // kwinService (a unique name) from now on: an unloaded script's last
    // call may still be on its way, and KWin may have restarted.
    void reset(const QString& token, const QString& kwinService);

public slots:
    QString next(const QString& token);
    void answer(const QString& token, const QString& json);

signals:
    void answered(const QJsonObject& message);
    void scriptAsked();

private:
    bool fromScript(const QString& token);
    void deliver(const QJsonObject& command);

    QDBusConnection m_connection;
    QString m_kwinService;
    QString m_path;
    QString m_token;
    bool m_exported = false;
    std::optional<QDBusMessage> m_waiting;
    std::deque<QJsonObject> m_queue;
    // KWin gives up on a call after about 25 seconds and then never runs its
    // callback, which would end the script's loop: answer an idle command
    // before that.
    QTimer m_keepAlive;
};
