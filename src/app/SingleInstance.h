#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// Keeps one tray app per user. The first instance listens on a socket in the
// user's private runtime directory; a later one hands its request over and exits.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // Asks a running instance to open Settings. True when one took the request.
    bool notifyRunningInstance();
    // Starts answering later instances; false when the socket cannot be created.
    bool listen();

    static QString socketPath();

signals:
    void settingsRequested();

private:
    QLocalServer* m_server = nullptr;
};
