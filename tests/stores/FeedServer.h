#pragma once

#include <QHash>
#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A real HTTP/1.1 server on 127.0.0.1, in the test's own event loop, that
// answers each path with a scripted response and records what was asked.
class FeedServer : public QObject {
public:
    struct Response {
        Response(QByteArray s = "200 OK", QByteArray b = {}, QByteArray h = {}, bool length = true)
            : status(std::move(s)), body(std::move(b)), headers(std::move(h)), sendLength(length) {}
        QByteArray status;  // empty: read the request, then say nothing
        QByteArray body;
        QByteArray headers; // extra header lines, each ending in \r\n
        bool sendLength;    // false: the body ends when the connection closes
    };

    QHash<QString, Response> routes;
    QStringList requests;

    FeedServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        });
    }

    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

private:
    void serve(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        requests << QString::fromLatin1(buffer.split(' ').value(1));
        buffer.clear();
        const Response response = routes.value(requests.last(), Response{"404 Not Found", "not here"});
        if (response.status.isEmpty())
            return;
        QByteArray head = "HTTP/1.1 " + response.status + "\r\nConnection: close\r\n" + response.headers;
        if (response.sendLength)
            head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        socket->write(head + "\r\n" + response.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};
