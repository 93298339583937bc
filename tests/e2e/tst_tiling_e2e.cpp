// The real `ventrel` binary and the sway and i3 backends beside the real
// compositor of with-sway.sh or with-i3.sh; every frame is read back on its
// own, with swaymsg or i3-msg and the X server.
#include "platform/i3/I3WindowSystem.h"
#include "platform/sway/SwayWindowSystem.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <map>

static const bool sway = qEnvironmentVariableIsSet("SWAYSOCK");

static std::pair<int, QByteArray> run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit;
    return {finished ? process.exitCode() : -1, process.readAllStandardOutput()};
}

static QJsonDocument ask(const QStringList& arguments) { return QJsonDocument::fromJson(run(sway ? "swaymsg" : "i3-msg", arguments).second); }

// ventrel's --json answer, with its exit status as "status".
static QJsonObject ventrel(const QStringList& arguments)
{
    const auto [status, output] = run(VENTREL_BINARY, QStringList{"--json"} + arguments);
    QJsonObject answer = QJsonDocument::fromJson(output).object();
    answer["status"] = status;
    return answer;
}

static QJsonObject find(const QJsonObject& node, const QString& title)
{
    if (node["name"] == title && node["window_rect"]["width"].toInt() > 0)
        return node;
    for (const auto& list : {node["nodes"].toArray(), node["floating_nodes"].toArray()})
        for (const QJsonValue& child : list)
            if (const QJsonObject found = find(child.toObject(), title); !found.isEmpty())
                return found;
    return {};
}

static QJsonObject window(const QString& title) { return find(ask({"-t", "get_tree"}).object(), title); }

static QRect rect(const QJsonValue& r) { return {r["x"].toInt(), r["y"].toInt(), r["width"].toInt(), r["height"].toInt()}; }

// sway's rect leaves out the title bar above it; i3's holds it.
static QRect outer(const QJsonObject& node)
{
    return rect(node["rect"]).adjusted(0, sway ? -rect(node["deco_rect"]).height() : 0, 0, 0);
}

// Where the X server has an X client's own area (Xwayland's too).
static QRect xClientArea(const QJsonObject& node)
{
    const QString info = run("xwininfo", {"-id", QString::number(node["window"].toInteger())}).second;
    auto field = [&](const char* name) { return QRegularExpression(QString(name) + R"(:\s*(-?\d+))").match(info).captured(1).toInt(); };
    return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height")};
}

class TilingEndToEnd : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowSystem> m_system;
    std::map<QString, QProcess> m_clients; // stopped by process id when the test ends

    static bool focus(const QString& title)
    {
        return QTest::qWaitFor([&] {
            ask({QString("[title=\"^%1$\"] focus").arg(title)});
            return window(title)["focused"].toBool();
        }, 10000);
    }

private slots:
    void initTestCase()
    {
        m_system = sway ? std::unique_ptr<WindowSystem>(SwayWindowSystem::connect(qEnvironmentVariable("SWAYSOCK")))
                        : I3WindowSystem::connect(qEnvironmentVariable("I3SOCK"));
        QVERIFY2(m_system, "run under scripts/desktop/with-sway.sh or scripts/desktop/with-i3.sh");
        // All at once, and each mapped before any case: one that maps later would take the focus.
        const QStringList titles = QStringList{"xmessage", "xmessage tiled"} + (sway ? QStringList{"foot", "foot tiled"} : QStringList());
        for (const QString& title : titles) {
            const bool foot = title.startsWith("foot");
            m_clients[title].start(foot ? "foot" : "xmessage", foot ? QStringList{"-T", title, "cat"} : QStringList{"-title", title, title});
        }
        QVERIFY(QTest::qWaitFor([&] { return std::ranges::none_of(titles, [](auto& t) { return window(t).isEmpty(); }); }, 30000));
    }

    void cleanupTestCase()
    {
        for (auto& [title, client] : m_clients) {
            client.kill();
            client.waitForFinished();
        }
    }

    void placesExactly_data()
    {
        QTest::addColumn<QString>("client");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QRect>("expected"); // a resize keeps the top-left: only its size counts
        // Thirds of 1366 fall between pixels: rounded, they meet without gap or overlap.
        const QList<std::pair<const char*, QRect>> targets{
            {"leftHalf", {0, 21, 683, 747}},     {"rightHalf", {683, 21, 683, 747}}, {"leftThird", {0, 21, 455, 747}},
            {"centerThird", {455, 21, 456, 747}}, {"rightThird", {911, 21, 455, 747}}, {"topHalf", {0, 21, 1366, 374}},
            {"bottomHalf", {0, 395, 1366, 373}}};
        for (const char* client : sway ? QList{"foot", "xmessage"} : QList{"xmessage"})
            for (const auto& [position, target] : targets)
                QTest::addRow("%s %s", client, position) << QString(client) << QStringList{"snap", position} << target;
        for (const char* client : sway ? QList{"foot", "xmessage", "foot tiled"} : QList{"xmessage", "xmessage tiled"})
            QTest::addRow("%s resize", client) << QString(client) << QStringList{"resize", "500x300"} << QRect(0, 0, 500, 300);
        // Reduced to the work area; the window then reaches past its bottom.
        QTest::newRow("preset larger than the screen") << "xmessage" << QStringList{"resize", "1440x900"} << QRect(0, 0, 1366, 747);
    }

    void placesExactly()
    {
        QFETCH(QString, client);
        QFETCH(QStringList, arguments);
        QFETCH(QRect, expected);
        QVERIFY(focus(client));
        if (arguments.first() == "resize")
            expected.moveTopLeft(outer(window(client)).topLeft());
        const QJsonObject answer = ventrel(arguments);
        QCOMPARE(answer["status"].toInt(), 0);
        QCOMPARE(answer["backend"].toString(), sway ? "sway" : "i3"); // the factory's choice
        QCOMPARE(rect(answer["achieved"]), expected);
        const QJsonObject node = window(client);
        QCOMPARE(outer(node), expected);
        // The title bar is inside the frame, above the client's own area.
        QVERIFY(!node["window"].isDouble() || QTest::qWaitFor([&] {
            const QRect area = xClientArea(node);
            return expected.contains(area) && area.top() >= expected.top() + 15;
        }, 5000));
    }

    // Sent while sway still waits for the client to take the first: it must not end at the first size.
    void placementRightAfterAnother()
    {
        QVERIFY(focus("xmessage"));
        const QRect second(300, 200, 500, 300);
        for (const QRect& frame : {QRect(0, 21, 683, 747), second})
            QCOMPARE((*m_system->focusedWindow())->setFrame(frame).value_or(QRectF()), QRectF(frame));
        const QJsonObject node = window("xmessage");
        QCOMPARE(outer(node), second);
        QVERIFY(QTest::qWaitFor([&] { return second.contains(xClientArea(node)); }, 5000));
    }
};

QTEST_MAIN(TilingEndToEnd)
#include "tst_tiling_e2e.moc"
