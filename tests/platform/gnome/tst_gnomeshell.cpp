// Ventrel on a real headless GNOME Shell (scripts/desktop/with-gnome.sh): the real
// `ventrel` binary through the factory, the backend and the extension, on
// native Wayland and Xwayland windows; every frame read back independently of
// the extension where the client allows.
#include "e2e/DesktopProbe.h"
#include "platform/gnome/GnomeShellExtension.h"
#include "platform/gnome/GnomeShellProtocol.h"
#include "platform/gnome/GnomeShellWindowSystem.h"

#include <QDBusArgument>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using Status = GnomeShellExtension::Status;

namespace {

// A JavaScript expression's value in the Shell, JSON-encoded as Eval gives it.
QString eval(const QString& js)
{
    QDBusMessage call = QDBusMessage::createMethodCall("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval");
    call.setArguments({js});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    return reply.arguments().value(0).toBool() ? reply.arguments().value(1).toString() : QString();
}

// The test clients by kind, each titled "ventrel-KIND"; foot is a Wayland client.
const std::map<QString, QStringList> commands = {
    {"foot", {"foot", "-T", "ventrel-foot"}},
    {"xmessage", {"xmessage", "-title", "ventrel-xmessage", "-geometry", "500x300+60+90", "ventrel"}},
};

QRect workArea()
{
    const QJsonArray r = QJsonDocument::fromJson(eval("(r => [r.x, r.y, r.width, r.height])(global.workspace_manager"
                                                      ".get_active_workspace().get_work_area_for_monitor(0))").toUtf8()).array();
    return {r.at(0).toInt(), r.at(1).toInt(), r.at(2).toInt(), r.at(3).toInt()};
}

// A snap rectangle from fractions of the work area.
QRect snapTarget(const QRectF& f)
{
    const QRect a = workArea();
    return WindowSystem::pixelFrame(QRectF(a.x() + f.x() * a.width(), a.y() + f.y() * a.height(), f.width() * a.width(),
                                           f.height() * a.height()));
}

struct Outcome {
    int exitCode = -1;
    QJsonObject json;
    QString errors;
    QRect frame(const char* key) const
    {
        const QJsonObject o = json[key].toObject();
        return WindowSystem::pixelFrame(QRectF(o["x"].toDouble(), o["y"].toDouble(), o["width"].toDouble(), o["height"].toDouble()));
    }
};

// The real `ventrel --json ARGUMENTS`, acting on the focused window.
Outcome ventrel(const QStringList& arguments)
{
    QProcess process;
    process.start(VENTREL_BINARY, QStringList{"--json"} + arguments);
    process.waitForFinished(10000);
    return {process.exitCode(), QJsonDocument::fromJson(process.readAllStandardOutput()).object(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

class TestGnomeShell : public QObject {
    Q_OBJECT

    std::unique_ptr<GnomeShellWindowSystem> m_system;
    std::map<QString, std::unique_ptr<QProcess>> m_clients; // killed with the test
    QTemporaryDir m_logs;  // each client's Wayland protocol log (WAYLAND_DEBUG)
    DesktopProbe m_probe; // an Xwayland window's frame, as the X server has it

    // The size a Wayland client last gave its window, in its own words.
    QSize declaredSize(const QString& kind) const
    {
        QFile log(m_logs.filePath(kind));
        const QRegularExpression last(".*set_window_geometry\\(-?\\d+, -?\\d+, (\\d+), (\\d+)\\)",
                                      QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch match = last.match(log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray());
        return {match.captured(1).toInt(), match.captured(2).toInt()};
    }

    // Starts the client of that kind on first use, and focuses it.
    bool focus(const QString& kind)
    {
        auto& client = m_clients[kind];
        if (!client) {
            client = std::make_unique<QProcess>();
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("WAYLAND_DEBUG", "1");
            client->setProcessEnvironment(environment);
            client->setStandardErrorFile(m_logs.filePath(kind));
            client->start(commands.at(kind).first(), commands.at(kind).mid(1));
        }
        // Asked again while it has not come: under load the first request can
        // arrive before the window is mapped.
        const auto focused = [&] {
            eval("global.get_window_actors().map(a => a.meta_window).find(w => w.get_title() === 'ventrel-" + kind +
                 "')?.activate(global.display.get_current_time_roundtrip())");
            return eval("global.display.focus_window?.get_title()") == "\"ventrel-" + kind + "\"";
        };
        return QTest::qWaitFor(focused, 10000);
    }

private slots:
    void initTestCase()
    {
        Status status{};
        m_system = GnomeShellWindowSystem::connect(QDBusConnection::sessionBus(), &status);
        QVERIFY2(m_system, qPrintable(GnomeShellExtension::explanation(status)));
        QCOMPARE(workArea().y(), 32); // below the top bar
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("maximized"); // maximized first, else placed at `start`
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QRect>("expected");
        // One MoveResize each: at the corner, with edges that round, lower down.
        const std::pair<const char*, QRectF> positions[] = {
            {"leftHalf", {0, 0, 0.5, 1}}, {"centerThird", {1.0 / 3, 0, 1.0 / 3, 1}}, {"bottomHalf", {0, 0.5, 1, 0.5}}};
        for (const char* kind : {"foot", "xmessage"}) {
            for (const auto& [name, fraction] : positions)
                QTest::addRow("%s %s", kind, name) << kind << false << QStringList{"snap", name} << snapTarget(fraction);
            QTest::addRow("%s resize keeps the place", kind) << kind << false << QStringList{"resize", "800x600"}
                                                             << QRect(start.topLeft(), QSize(800, 600));
            // After unmaximize the frame reads maximized until the client
            // answers; Mutter drops a request equal to that stale frame.
            QTest::addRow("%s maximized, preset clamped", kind) << kind << true << QStringList{"resize", "1920x1080"} << workArea();
            QTest::addRow("%s maximized, left half", kind) << kind << true << QStringList{"snap", "leftHalf"}
                                                           << snapTarget({0, 0, 0.5, 1});
        }
    }

    // The whole road, and the frame read back: from the X server for
    // Xwayland; a Wayland client knows its size but never its place.
    void commandLine()
    {
        QFETCH(QString, kind);
        QFETCH(bool, maximized);
        QFETCH(QStringList, command);
        QFETCH(QRect, expected);
        QVERIFY(focus(kind));
        const auto window = m_system->focusedWindow();
        QVERIFY(window);
        if (maximized) {
            eval("global.display.focus_window.maximize(Meta.MaximizeFlags.BOTH)");
            // A Wayland client takes the maximized size a frame later.
            QVERIFY(QTest::qWaitFor([this] {
                const auto w = m_system->focusedWindow();
                return w && (*w)->frame().toRect() == workArea();
            }));
        } else {
            QCOMPARE((*window)->setFrame(start).value_or(QRectF()).toRect(), start);
        }
        const Outcome outcome = ventrel(command);
        QVERIFY2(outcome.exitCode == 0 && outcome.json["backend"] == "gnome", qPrintable(outcome.errors));
        QCOMPARE(outcome.frame("requested"), expected);
        QCOMPARE(outcome.frame("achieved"), expected);
        if (kind == "xmessage")
            QCOMPARE(m_probe.settledFrame(m_probe.activeWindow(), expected), expected);
        else
            QTRY_COMPARE_WITH_TIMEOUT(declaredSize(kind), expected.size(), 2000);
        QCOMPARE(eval("global.display.focus_window.get_maximized()"), QString("0"));
    }

    // The extension refuses what cannot be a frame from any caller.
    void refusals_data()
    {
        QTest::addColumn<QRect>("sent");
        QTest::newRow("no width") << QRect(0, 0, 0, 100);
        QTest::newRow("negative") << QRect(0, 0, -5, 100);
        QTest::newRow("beyond X11's range") << QRect(0, 0, 40000, 100);
    }

    void refusals()
    {
        QFETCH(QRect, sent);
        QVERIFY(focus("xmessage"));
        QDBusArgument rect;
        rect.beginStructure();
        rect << sent.x() << sent.y() << sent.width() << sent.height();
        rect.endStructure();
        QDBusMessage call = GnomeShellProtocol::call("MoveResize");
        call.setArguments({QDBusConnection::sessionBus().call(GnomeShellProtocol::call("Focused")).arguments().value(0),
                           QVariant::fromValue(rect)});
        QCOMPARE(QDBusConnection::sessionBus().call(call).errorName(),
                 QString("app.ventrel.WindowControl1.Error.InvalidValue"));
    }

    // Last: the extension switched off, and on again through the Shell.
    void disabledExtensionIsExplained()
    {
        eval(QString("Main.extensionManager.disableExtension('%1')").arg(GnomeShellExtension::uuid));
        QVERIFY(QTest::qWaitFor([] { return GnomeShellExtension::probe(QDBusConnection::sessionBus()) == Status::disabled; }));
        QCOMPARE(m_system->focusedWindow().error(), PlatformError::unreachable);
        // A Wayland window is out of reach, and Ventrel says why, once; an
        // X11 window is still moved, through Xwayland.
        QVERIFY(focus("foot"));
        Outcome outcome = ventrel({"snap", "leftHalf"});
        QCOMPARE(outcome.exitCode, 1);
        QCOMPARE(outcome.errors.count(GnomeShellExtension::explanation(Status::disabled)), 1);
        QVERIFY(focus("xmessage"));
        outcome = ventrel({"snap", "leftHalf"});
        QCOMPARE(outcome.json["backend"].toString(), QString("x11"));
        QVERIFY2(outcome.exitCode == 0, qPrintable(outcome.errors));

        QVERIFY(GnomeShellExtension::enable(QDBusConnection::sessionBus()));
        QVERIFY(QTest::qWaitFor([] { return GnomeShellExtension::probe(QDBusConnection::sessionBus()) == Status::ready; }));
        QVERIFY(m_system->focusedWindow());
    }

private:
    const QRect start{101, 77, 640, 480};
};

QTEST_GUILESS_MAIN(TestGnomeShell)
#include "tst_gnomeshell.moc"
