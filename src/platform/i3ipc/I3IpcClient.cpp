#include "platform/i3ipc/I3IpcClient.h"

#include <QJsonParseError>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr std::array<char, 6> magic{'i', '3', '-', 'i', 'p', 'c'};
constexpr qint64 headerSize = magic.size() + 2 * sizeof(quint32);

int remainingMs(QDeadlineTimer deadline)
{
    return static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, 60000));
}

} // namespace

std::expected<void, PlatformError> I3IpcClient::open(const QString& socketPath, QDeadlineTimer deadline)
{
    m_socket.connectToServer(socketPath);
    if (m_socket.state() == QLocalSocket::ConnectedState || m_socket.waitForConnected(remainingMs(deadline)))
        return {};
    const PlatformError error = failure(deadline);
    m_socket.abort();
    return std::unexpected(error);
}

bool I3IpcClient::isOpen() const
{
    return m_socket.state() == QLocalSocket::ConnectedState;
}

PlatformError I3IpcClient::failure(QDeadlineTimer deadline)
{
    return isOpen() && deadline.hasExpired() ? PlatformError::timedOut : PlatformError::unreachable;
}

std::expected<QJsonDocument, PlatformError> I3IpcClient::request(Message type, const QByteArray& payload,
                                                                  QDeadlineTimer deadline)
{
    if (!isOpen())
        return std::unexpected(PlatformError::unreachable);
    QByteArray message(headerSize, Qt::Uninitialized);
    std::memcpy(message.data(), magic.data(), magic.size());
    qToUnaligned(static_cast<quint32>(payload.size()), message.data() + magic.size());
    qToUnaligned(static_cast<quint32>(type), message.data() + magic.size() + sizeof(quint32));
    message += payload;
    if (m_socket.write(message) != message.size()) {
        m_socket.abort();
        return std::unexpected(PlatformError::unreachable);
    }
    while (m_socket.bytesToWrite() > 0) {
        if (!m_socket.waitForBytesWritten(remainingMs(deadline))) {
            const PlatformError error = failure(deadline);
            m_socket.abort();
            return std::unexpected(error);
        }
    }
    for (;;) {
        // A peer that sends nothing but events must not keep us here.
        if (deadline.hasExpired()) {
            m_socket.abort();
            return std::unexpected(PlatformError::timedOut);
        }
        auto reply = receive(deadline);
        if (!reply)
            return std::unexpected(reply.error());
        if (reply->type == static_cast<quint32>(type))
            return std::move(reply->json);
        if (!(reply->type & eventBit))
            return std::unexpected(PlatformError::unreachable);
    }
}

std::expected<void, PlatformError> I3IpcClient::fill(qint64 size, QDeadlineTimer deadline)
{
    while (m_socket.bytesAvailable() < size) {
        if (!m_socket.waitForReadyRead(remainingMs(deadline)))
            return std::unexpected(failure(deadline));
    }
    return {};
}

std::expected<I3IpcClient::Reply, PlatformError> I3IpcClient::receive(QDeadlineTimer deadline)
{
    auto fail = [this](PlatformError error) {
        // After a broken or half-read message the stream cannot be resynchronised.
        m_socket.abort();
        return std::unexpected(error);
    };
    if (auto header = fill(headerSize, deadline); !header)
        return fail(header.error());
    std::array<char, headerSize> header{};
    m_socket.read(header.data(), headerSize);
    if (std::memcmp(header.data(), magic.data(), magic.size()) != 0)
        return fail(PlatformError::unreachable);
    const auto length = qFromUnaligned<quint32>(header.data() + magic.size());
    Reply reply;
    reply.type = qFromUnaligned<quint32>(header.data() + magic.size() + sizeof(quint32));
    if (length > maxPayload)
        return fail(PlatformError::unreachable);
    if (auto body = fill(length, deadline); !body)
        return fail(body.error());
    QJsonParseError parsed{};
    reply.json = QJsonDocument::fromJson(m_socket.read(length), &parsed);
    if (parsed.error != QJsonParseError::NoError)
        return fail(PlatformError::unreachable);
    return reply;
}
