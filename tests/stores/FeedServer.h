#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A real HTTP/1.1 server on 127.0.0.1, in the test's own event loop, that
// answers each path with a scripted response and records what was asked.
class FeedServer : public QObject {
public:
    struct Response {
        Response(int statusCode = 200, QByteArray content = {}, QByteArray extraHeaders = {}, bool answers = true,
                 bool sendsLength = true)
            : status(statusCode), body(std::move(content)), headers(std::move(extraHeaders)), answer(answers),
              sendLength(sendsLength)
        {
        }
        int status;
        QByteArray body;
        QByteArray headers; // extra header lines, each ending in \r\n
        bool answer;        // false: read the request, then say nothing
        bool sendLength;    // false: no Content-Length, the body ends when the connection closes
    };

    QHash<QString, Response> routes;
    QStringList requests;

    FeedServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                m_sockets.append(socket);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            }
        });
    }

    bool isListening() const { return m_server.isListening(); }
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
        const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
        buffer.clear();
        const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
        requests << path;
        const Response response = routes.value(path, Response{404, "not here"});
        if (!response.answer)
            return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reason(response.status) + "\r\n"
                          "Content-Type: application/rss+xml\r\nConnection: close\r\n" + response.headers;
        if (response.sendLength)
            head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        socket->write(head + "\r\n" + response.body);
        socket->disconnectFromHost();
    }

    static QByteArray reason(int status)
    {
        switch (status) {
        case 200: return "OK";
        case 302: return "Found";
        case 404: return "Not Found";
        default: return "Status";
        }
    }

    QTcpServer m_server;
    QList<QTcpSocket*> m_sockets;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};
