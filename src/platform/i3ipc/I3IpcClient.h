#pragma once

#include "window/PlatformError.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QString>

#include <expected>

// One connection to the IPC socket that i3 and sway share: each message is
// the magic "i3-ipc", a payload length and a message type (both 32-bit, in
// the host's byte order), then a JSON payload. Blocking, for a caller that
// does one short exchange per user action; every wait ends at the caller's
// deadline. Whatever the peer sends is checked before it is used, so a
// broken or hostile peer gives unreachable, never a crash or a huge buffer.
class I3IpcClient {
public:
    enum class Message : quint32 {
        runCommand = 0,
        getWorkspaces = 1,
        getOutputs = 3,
        getTree = 4,
    };

    // Set in the type of every event (sent to a connection that subscribed).
    static constexpr quint32 eventBit = 0x80000000u;
    // A tree of hundreds of windows is well under a megabyte.
    static constexpr quint32 maxPayload = 32u << 20;

    struct Reply {
        quint32 type = 0;
        QJsonDocument json;
    };

    std::expected<void, PlatformError> open(const QString& socketPath, QDeadlineTimer deadline);
    bool isOpen() const;

    // Sends one message and returns its reply, skipping any events that
    // arrive before it.
    std::expected<QJsonDocument, PlatformError> request(Message type, const QByteArray& payload,
                                                        QDeadlineTimer deadline);
private:
    std::expected<Reply, PlatformError> receive(QDeadlineTimer deadline);
    std::expected<void, PlatformError> fill(qint64 size, QDeadlineTimer deadline);
    PlatformError failure(QDeadlineTimer deadline);

    QLocalSocket m_socket;
};
