// The i3 IPC client against a peer that sends whatever a row says, and the
// frames read from a compositor's JSON: a broken or hostile compositor must
// end in an error, never in a crash, a huge allocation or a wait without end.
#include "platform/i3ipc/I3IpcClient.h"
#include "platform/i3ipc/I3IpcTree.h"
#include "platform/kwin/KWinAnswer.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using Result = std::optional<PlatformError>; // nothing: a reply came

static QByteArray message(quint32 type, const QByteArray& payload, quint32 length)
{
    QByteArray header("i3-ipc");
    header.resize(14);
    qToUnaligned(length, header.data() + 6);
    qToUnaligned(type, header.data() + 10);
    return header + payload;
}
static QByteArray message(quint32 type, const QByteArray& payload) { return message(type, payload, payload.size()); }

class I3IpcClientTest : public QObject {
    Q_OBJECT
private slots:
    void hostilePeer_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<Result>("result");
        QTest::newRow("reply") << message(4, "{}") << Result();
        QTest::newRow("event before the reply") << message(0x80000003, "{}") + message(4, "{}") << Result();
        QTest::newRow("reply to another message") << message(1, "[]") << Result(PlatformError::unreachable);
        QTest::newRow("wrong magic") << message(4, "{}").replace("i3", "x3") << Result(PlatformError::unreachable);
        QTest::newRow("4 GiB payload") << message(4, "{}", 0xfffffff0) << Result(PlatformError::unreachable);
        QTest::newRow("malformed JSON") << message(4, "{\"nodes\": [") << Result(PlatformError::unreachable);
        QTest::newRow("half a header, then closed") << QByteArray("i3-i") << Result(PlatformError::unreachable);
        QTest::newRow("silence") << QByteArray() << Result(PlatformError::timedOut);
    }

    void hostilePeer()
    {
        QFETCH(QByteArray, answer);
        QFETCH(Result, result);
        QTemporaryDir dir;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = dir.filePath("ipc").toLocal8Bit();
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(listener, 1) == 0);
        std::thread peer([&] {
            const int connection = accept(listener, nullptr, nullptr);
            char request[14];
            if (read(connection, request, sizeof request) == sizeof request && write(connection, answer.data(), answer.size()) >= 0 && answer.isEmpty())
                if (read(connection, request, sizeof request) < 0) {} // silent until the client gives up
            close(connection);
        });
        I3IpcClient client;
        QVERIFY(client.open(QString::fromLocal8Bit(path), QDeadlineTimer(2000)));
        const auto reply = client.request(I3IpcClient::Message::getTree, {}, QDeadlineTimer(300));
        peer.join();
        close(listener);
        QCOMPARE(reply ? Result() : Result(reply.error()), result);
    }

    // Frames in a compositor's JSON: objects from i3's tree, arrays from our
    // KWin script (Plasma 6 reports fractions, rounded to whole pixels there).
    void rectangles_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<std::optional<QRect>>("rect");
        QTest::newRow("plain") << QByteArray(R"({"x":-5,"y":21,"width":683,"height":747})") << std::optional(QRect(-5, 21, 683, 747));
        QTest::newRow("huge") << QByteArray(R"({"x":0,"y":0,"width":1e300,"height":10})") << std::optional<QRect>();
        QTest::newRow("negative size") << QByteArray(R"({"x":0,"y":0,"width":-1,"height":10})") << std::optional<QRect>();
        QTest::newRow("fraction") << QByteArray(R"({"x":0.5,"y":0,"width":1,"height":10})") << std::optional<QRect>();
        QTest::newRow("text") << QByteArray(R"({"x":"0","y":0,"width":1,"height":10})") << std::optional<QRect>();
        QTest::newRow("KWin plain") << QByteArray("[10, -20, 300, 200]") << std::optional(QRect(10, -20, 300, 200));
        QTest::newRow("KWin fractional") << QByteArray("[10.4, 20.6, 300.5, 200]") << std::optional(QRect(10, 21, 301, 200));
        QTest::newRow("KWin empty size") << QByteArray("[0, 0, 0, 200]") << std::optional<QRect>();
        QTest::newRow("KWin far away") << QByteArray("[1e12, 0, 300, 200]") << std::optional<QRect>();
        QTest::newRow("KWin text") << QByteArray(R"(["0", 0, 300, 200])") << std::optional<QRect>();
        QTest::newRow("KWin three values") << QByteArray("[0, 0, 300]") << std::optional<QRect>();
    }

    void rectangles()
    {
        QFETCH(QByteArray, json);
        QFETCH(std::optional<QRect>, rect);
        const QJsonDocument document = QJsonDocument::fromJson(json);
        QCOMPARE(document.isArray() ? KWinAnswer::frame(document.array()) : I3IpcTree::rect(document.object()), rect);
    }
};

QTEST_GUILESS_MAIN(I3IpcClientTest)
#include "tst_i3ipcclient.moc"
