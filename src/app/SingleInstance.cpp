#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

const QByteArray settingsRequest = QByteArrayLiteral("settings\n");
constexpr int handOverTimeoutMs = 1000;

} // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPath()
{
    // Qt makes sure the runtime location exists, belongs to the user and is mode 0700.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QStringLiteral("ventrel.instance"));
}

bool SingleInstance::notifyRunningInstance()
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(handOverTimeoutMs))
        return false;
    socket.write(settingsRequest);
    if (!socket.waitForBytesWritten(handOverTimeoutMs))
        return false;
    // Wait for the running instance to take the request before exiting.
    socket.waitForReadyRead(handOverTimeoutMs);
    return true;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath())) {
        // Nobody answered on it (checked before), so it is left over from a crash.
        QLocalServer::removeServer(socketPath());
        if (!m_server->listen(socketPath()))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = m_server->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (!client->canReadLine())
                    return;
                const QByteArray line = client->readLine();
                client->write(QByteArrayLiteral("ok\n"));
                client->flush();
                client->disconnectFromServer();
                if (line == settingsRequest)
                    emit settingsRequested();
            });
        }
    });
    return true;
}
