#include "app/SingleInstance.h"

#include "app/InstanceRequest.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int replyTimeoutMs = 2000;

// The other end of a local socket runs as this user.
bool peerIsSameUser(qintptr descriptor)
{
#ifdef SO_PEERCRED
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0
        && credentials.uid == getuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return getpeereid(int(descriptor), &uid, &gid) == 0 && uid == getuid();
#endif
}

// A directory that is this user's alone: not a link, owned by us, no access
// for group or others. mkdir's mode is masked by the umask, so a fresh one
// is tightened explicitly.
std::expected<void, QString> makePrivateFolder(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const bool made = ::mkdir(name.constData(), 0700) == 0;
    if (!made && errno != EEXIST)
        return std::unexpected(QStringLiteral("cannot create %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno))));
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::unexpected(QStringLiteral("%1 is not a folder").arg(path));
    if (info.st_uid != getuid())
        return std::unexpected(QStringLiteral("%1 belongs to another user").arg(path));
    if ((info.st_mode & 077) != 0 && (!made || ::chmod(name.constData(), 0700) != 0))
        return std::unexpected(QStringLiteral("%1 can be reached by other users").arg(path));
    return {};
}

// A runtime folder we may put ours in: our own and writable by nobody else.
bool isUsableParent(const QString& path)
{
    struct stat info {};
    return QDir::isAbsolutePath(path) && ::stat(QFile::encodeName(path).constData(), &info) == 0
        && S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 022) == 0;
}

} // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent), m_folder(privateFolder()) {}

SingleInstance::SingleInstance(QString folder, Limits limits, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_limits(limits)
{
}

SingleInstance::~SingleInstance() = default;

std::expected<QString, QString> SingleInstance::privateFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isUsableParent(runtime)) {
        const QString folder = QDir(runtime).filePath(QStringLiteral("ventrel"));
        if (makePrivateFolder(folder))
            return folder;
    }
    const QString folder = QDir(QDir::tempPath()).filePath(QStringLiteral("ventrel-%1").arg(getuid()));
    if (auto made = makePrivateFolder(folder); !made)
        return std::unexpected(made.error());
    return folder;
}

QString SingleInstance::socketPath() const
{
    return m_folder ? QDir(*m_folder).filePath(QStringLiteral("instance")) : QString();
}

SingleInstance::Outcome SingleInstance::start()
{
    if (!m_folder)
        return {Role::alone, QStringLiteral("another start will not find this one: %1").arg(m_folder.error())};
    m_lock = std::make_unique<QLockFile>(QDir(*m_folder).filePath(QStringLiteral("instance.lock")));
    // Only a holder that has died makes the lock stale, however long it ran.
    m_lock->setStaleLockTime(0);
    const QDeadlineTimer deadline(m_limits.handOverTimeout);
    for (;;) {
        if (m_lock->tryLock(0)) {
            // Holding the lock, any socket here is left over from a crash.
            QLocalServer::removeServer(socketPath());
            if (!listen())
                return {Role::alone, QStringLiteral("cannot listen on %1").arg(socketPath())};
            return {Role::primary, {}};
        }
        if (m_lock->error() != QLockFile::LockFailedError)
            return {Role::alone, QStringLiteral("cannot create the lock file in %1").arg(*m_folder)};
        if (handOver())
            return {Role::handedOver, {}};
        if (deadline.hasExpired())
            return {Role::blocked, QStringLiteral("Ventrel is already running but does not answer on %1")
                                       .arg(socketPath())};
        QThread::msleep(50);
    }
}

bool SingleInstance::handOver() const
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(replyTimeoutMs) || !peerIsSameUser(socket.socketDescriptor()))
        return false;
    socket.write(InstanceRequest::encode(InstanceRequest::Kind::showSettings));
    if (!socket.waitForBytesWritten(replyTimeoutMs))
        return false;
    // Exit only once the running instance has taken the request.
    while (!socket.canReadLine() && socket.waitForReadyRead(replyTimeoutMs)) {
    }
    return socket.readLine(InstanceRequest::maximumLineLength) == InstanceRequest::accepted();
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath()))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = m_server->nextPendingConnection())
            serve(client);
    });
    return true;
}

void SingleInstance::serve(QLocalSocket* client)
{
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    if (m_connections >= m_limits.maximumConnections || !peerIsSameUser(client->socketDescriptor())) {
        client->abort();
        return;
    }
    ++m_connections;
    connect(client, &QObject::destroyed, this, [this] { --m_connections; });
    // Qt stops reading from the socket once this much is buffered.
    client->setReadBufferSize(qint64(CommandProtocol::maximumRequestLength) + 1);
    auto* idle = new QTimer(client);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, client, &QLocalSocket::abort);
    idle->start(m_limits.idleTimeout);
    connect(client, &QLocalSocket::readyRead, this, [this, client, idle] {
        if (!idle->isActive()) // a command was taken: nothing more is read
            return;
        // Only a command may be longer than the other requests.
        const QByteArrayView prefix(CommandProtocol::requestPrefix.data(), qsizetype(CommandProtocol::requestPrefix.size()));
        const qint64 limit = client->peek(prefix.size()) == prefix ? qint64(CommandProtocol::maximumRequestLength)
                                                                   : InstanceRequest::maximumLineLength;
        if (!client->canReadLine()) {
            if (client->bytesAvailable() > limit)
                client->abort();
            return;
        }
        const QByteArray line = client->readLine(limit + 1);
        if (line.size() > limit || !line.endsWith('\n')) {
            client->abort();
            return;
        }
        if (takeCommand(client, line)) {
            // Its answer comes when it has run, however long the backend takes.
            idle->stop();
            return;
        }
        const std::optional<InstanceRequest::Kind> request = InstanceRequest::parse(line);
        client->write(request ? InstanceRequest::accepted() : InstanceRequest::refused());
        client->flush();
        client->disconnectFromServer();
        if (request == InstanceRequest::Kind::showSettings)
            emit settingsRequested();
    });
}

bool SingleInstance::takeCommand(QLocalSocket* client, const QByteArray& line)
{
    const std::optional<CommandProtocol::Request> request =
        CommandProtocol::decodeRequest(std::string_view(line.constData(), std::size_t(line.size())));
    if (!request || !m_commandHandler || request->environment != CommandProtocol::environmentFingerprint())
        return false;
    QStringList arguments;
    for (const std::string& argument : request->arguments)
        arguments << QString::fromStdString(argument);
    client->write(CommandProtocol::taken.data(), qint64(CommandProtocol::taken.size()));
    client->flush();
    m_commands.emplace_back(client, arguments);
    // A backend that waits in an event loop of its own would otherwise let
    // the next command in halfway through this one.
    QTimer::singleShot(0, this, &SingleInstance::runCommands);
    return true;
}

void SingleInstance::runCommands()
{
    if (m_runningCommands)
        return;
    m_runningCommands = true;
    while (!m_commands.empty()) {
        auto [client, arguments] = std::move(m_commands.front());
        m_commands.pop_front();
        // The caller may have given up; the command is still carried out,
        // as it would be had it come a moment sooner.
        const std::string reply = CommandProtocol::encodeReply(m_commandHandler(arguments));
        if (client) {
            client->write(reply.data(), qint64(reply.size()));
            client->flush();
            client->disconnectFromServer();
        }
    }
    m_runningCommands = false;
}
