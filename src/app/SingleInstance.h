#pragma once

#include "app/CommandProtocol.h"

#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <chrono>
#include <deque>
#include <expected>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

// Keeps one tray app per user. Whoever takes the lock file in a folder only
// the user can reach is the running instance and listens on a socket beside
// it; a later start hands its request over and exits. Taking the lock comes
// first, so of several simultaneous starts exactly one listens. Connections
// are taken only from the same user, carry one short line and are dropped
// when idle, so the channel costs nothing whoever talks to it. A command
// (CommandProtocol) is taken only from the same session, and runs after the
// ones taken before it, never inside another.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        primary,    // this is the running instance and listens
        handedOver, // another instance took the request; exit
        alone,      // no private folder for the channel: run, unreachable
        blocked,    // another instance holds the lock but does not answer
    };
    struct Outcome {
        Role role;
        QString message; // why, for alone and blocked
    };
    struct Limits {
        std::chrono::milliseconds idleTimeout{2000};
        int maximumConnections = 8;
        // How long a later start keeps trying to reach the lock's holder,
        // which may be between taking the lock and listening.
        std::chrono::milliseconds handOverTimeout{3000};
    };

    // In privateFolder(), with the default limits.
    explicit SingleInstance(QObject* parent = nullptr);
    // In folder, which the caller has made private.
    SingleInstance(QString folder, Limits limits, QObject* parent = nullptr);
    ~SingleInstance() override;

    Outcome start();

    // The folder for the lock and the socket: "ventrel" in $XDG_RUNTIME_DIR
    // when that is the user's own and private, else "ventrel-<uid>" in the
    // temporary folder. Made with mode 0700 when missing; refused when it is
    // a link, someone else's, or reachable by others.
    static std::expected<QString, QString> privateFolder();
    QString socketPath() const;

    // Runs a command line (without the program name) and says what it
    // printed and returned. Without one, commands are refused.
    using CommandHandler = std::function<CommandProtocol::Reply(const QStringList& arguments)>;
    void setCommandHandler(CommandHandler handler) { m_commandHandler = std::move(handler); }

signals:
    void settingsRequested();

private:
    bool handOver() const;
    bool listen();
    void serve(QLocalSocket* client);
    bool takeCommand(QLocalSocket* client, const QByteArray& line);
    void runCommands();

    std::expected<QString, QString> m_folder;
    Limits m_limits;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    int m_connections = 0;
    CommandHandler m_commandHandler;
    std::deque<std::pair<QPointer<QLocalSocket>, QStringList>> m_commands;
    bool m_runningCommands = false;
};
