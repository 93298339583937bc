// Ventrel's GNOME Shell extension and backend against a real headless GNOME
// Shell (tests/e2e/with-gnome.sh): native Wayland and Xwayland windows, every
// frame read back independently of the extension where the client allows.
#include "platform/gnome/GnomeShellExtension.h"
#include "platform/gnome/GnomeShellProtocol.h"
#include "platform/gnome/GnomeShellWindowSystem.h"

#include <QDBusArgument>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <limits>
#include <map>

using Status = GnomeShellExtension::Status;

namespace {

// A JavaScript expression's value in the Shell, as Eval gives it (JSON).
QString eval(const QString& js)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
                                                       QStringLiteral("org.gnome.Shell"), QStringLiteral("Eval"));
    call.setArguments({js});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    return reply.arguments().value(0).toBool() ? reply.arguments().value(1).toString() : QString();
}

template <typename Condition> bool waitFor(Condition condition, int ms = 5000)
{
    for (const QDeadlineTimer deadline(ms); !condition(); QThread::msleep(5)) {
        if (deadline.hasExpired())
            return false;
    }
    return true;
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QList<int> numbers(const QString& text, const QString& pattern)
{
    QList<int> values;
    for (const QRegularExpressionMatch& m : QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(text))
        values << m.captured(1).toInt();
    return values;
}

// An Xwayland window's outer frame as the X server has it: the client window
// widened by the _NET_FRAME_EXTENTS Mutter sets.
QRect xFrame(const QString& title)
{
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-name"), title});
    const QString id = QRegularExpression(QStringLiteral("Window id: (0x[0-9a-f]+)")).match(info).captured(1);
    const QList<int> e = numbers(run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")}),
                                 QStringLiteral("(\\d+)"));
    const QList<int> g = numbers(info, QStringLiteral("(?:Absolute upper-left [XY]|^\\s+Width|^\\s+Height):\\s+(-?\\d+)"));
    if (e.size() != 4 || g.size() != 4)
        return {};
    return {g[0] - e[0], g[1] - e[2], g[2] + e[0] + e[1], g[3] + e[2] + e[3]};
}

// A client window, focused by the Shell once started; killed with the test.
// WAYLAND_DEBUG=1 makes a Wayland client log what it tells the Shell.
class Client {
public:
    Client(const QString& title, const QString& program, const QStringList& arguments) : m_title(title)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WAYLAND_DEBUG"), QStringLiteral("1"));
        m_process.setProcessEnvironment(environment);
        m_process.setStandardErrorFile(m_log.filePath(QStringLiteral("log")));
        m_process.start(program, arguments);
    }
    ~Client()
    {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool focus() const
    {
        const auto focused = [this] {
            return eval(QStringLiteral("global.display.focus_window?.get_title()")) == QStringLiteral("\"%1\"").arg(m_title);
        };
        eval(QStringLiteral("global.get_window_actors().map(a => a.meta_window).find(w => w.get_title() === '%1')"
                            "?.activate(global.get_current_time())").arg(m_title));
        return waitFor(focused, 10000);
    }
    // The size the Wayland client last gave its window (xdg_surface window
    // geometry), from its own protocol log.
    QSize declaredSize() const
    {
        QFile file(m_log.filePath(QStringLiteral("log")));
        const QString log = file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
        const QRegularExpressionMatch last = QRegularExpression(QStringLiteral(".*set_window_geometry\\(-?\\d+, -?\\d+, (\\d+), (\\d+)\\)"),
                                                                QRegularExpression::DotMatchesEverythingOption).match(log);
        return last.hasMatch() ? QSize(last.captured(1).toInt(), last.captured(2).toInt()) : QSize();
    }

private:
    QString m_title;
    QTemporaryDir m_log;
    QProcess m_process;
};

// The test clients by kind, each titled "ventrel-KIND". foot and the GTK
// window are Wayland clients; GTK's minimum size is its maximum when it is
// not resizable.
const std::map<QString, QStringList> commands = {
    {QStringLiteral("foot"), {QStringLiteral("foot"), QStringLiteral("-T"), QStringLiteral("ventrel-foot")}},
    {QStringLiteral("xmessage"),
     {QStringLiteral("xmessage"), QStringLiteral("-title"), QStringLiteral("ventrel-xmessage"),
      QStringLiteral("-geometry"), QStringLiteral("500x300+60+90"), QStringLiteral("ventrel")}},
    {QStringLiteral("xterm"), {QStringLiteral("xterm"), QStringLiteral("-T"), QStringLiteral("ventrel-xterm")}},
    {QStringLiteral("fixed"),
     {QStringLiteral("gjs"), QStringLiteral("-c"),
      QStringLiteral("imports.gi.versions.Gtk = '3.0'; const Gtk = imports.gi.Gtk; Gtk.init(null);"
                     "new Gtk.Window({title: 'ventrel-fixed', resizable: false, default_width: 420,"
                     " default_height: 260}).show_all(); Gtk.main();")}},
};

bool isWayland(const QString& kind)
{
    return kind == QLatin1String("foot") || kind == QLatin1String("fixed");
}

QRect workArea()
{
    const QJsonArray r = QJsonDocument::fromJson(
                             eval(QStringLiteral("(r => [r.x, r.y, r.width, r.height])(global.workspace_manager"
                                                 ".get_active_workspace().get_work_area_for_monitor(0))"))
                                 .toUtf8())
                             .array();
    return {r.at(0).toInt(), r.at(1).toInt(), r.at(2).toInt(), r.at(3).toInt()};
}

// The snap rectangles as fractions of the work area: left, top, right, bottom.
QRect snapTarget(const QRect& area, double left, double top, double right, double bottom)
{
    return WindowSystem::pixelFrame(QRectF(area.x() + left * area.width(), area.y() + top * area.height(),
                                           (right - left) * area.width(), (bottom - top) * area.height()));
}
struct Outcome {
    int exitCode = -1;
    QJsonObject json;
    QString errors;
};

// The real `ventrel --json` for the focused window.
Outcome ventrel(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(VENTREL_BINARY), QStringList{QStringLiteral("--json")} + arguments);
    process.waitForFinished(10000);
    return {process.exitCode(), QJsonDocument::fromJson(process.readAllStandardOutput()).object(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QRect frameOf(const QJsonValue& value)
{
    const QJsonObject o = value.toObject();
    return WindowSystem::pixelFrame(QRectF(o[QLatin1String("x")].toDouble(), o[QLatin1String("y")].toDouble(),
                                           o[QLatin1String("width")].toDouble(), o[QLatin1String("height")].toDouble()));
}

} // namespace

class TestGnomeShell : public QObject {
    Q_OBJECT

private:
    // One client of each kind, started on first use and focused for each case.
    Client& client(const QString& kind)
    {
        auto& slot = m_clients[kind];
        if (!slot) {
            const QStringList& command = commands.at(kind);
            slot = std::make_unique<Client>(QStringLiteral("ventrel-") + kind, command.first(), command.mid(1));
        }
        return *slot;
    }

    std::unique_ptr<Window> focusedWindow(const QString& kind)
    {
        if (!client(kind).focus())
            return nullptr;
        auto window = m_system->focusedWindow();
        return window ? std::move(*window) : nullptr;
    }

    // What the window really got, read by other means than the extension.
    QRect readBack(const QString& kind, const QRect& reported)
    {
        if (!isWayland(kind))
            return xFrame(QStringLiteral("ventrel-") + kind);
        // A Wayland client knows its size but never its place.
        QSize size;
        waitFor([&] { return (size = client(kind).declaredSize()) == reported.size(); }, 2000);
        return {reported.topLeft(), size};
    }

    std::unique_ptr<GnomeShellWindowSystem> m_system;
    std::map<QString, std::unique_ptr<Client>> m_clients;

private slots:
    void initTestCase()
    {
        Status status{};
        m_system = GnomeShellWindowSystem::connect(QDBusConnection::sessionBus(), &status);
        QVERIFY2(m_system, qPrintable(GnomeShellExtension::explanation(status)));
        QCOMPARE(workArea().y(), 32); // the top bar
    }

    void cleanupTestCase() { m_clients.clear(); }

    // The whole road: the command line, the factory's choice, the backend,
    // the extension, the window; then the frame read back independently.
    void commandLine_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("maximized"); // maximized first, else placed at start
        QTest::addColumn<QRect>("start");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QRect>("expected");
        const QRect area = workArea();
        const std::pair<const char*, QRectF> positions[] = {
            {"leftHalf", {0, 0, 0.5, 1}},         {"rightHalf", {0.5, 0, 1, 1}},
            {"leftThird", {0, 0, 1.0 / 3, 1}},    {"centerThird", {1.0 / 3, 0, 2.0 / 3, 1}},
            {"rightThird", {2.0 / 3, 0, 1, 1}},   {"topHalf", {0, 0, 1, 0.5}},
            {"bottomHalf", {0, 0.5, 1, 1}},
        };
        const QRect start(101, 77, 640, 480);
        for (const QString& kind : {QStringLiteral("foot"), QStringLiteral("xmessage")}) {
            const char* k = kind == QLatin1String("foot") ? "wayland" : "xwayland";
            for (const auto& [name, f] : positions)
                QTest::addRow("%s %s", k, name) << kind << false << start << QStringList{QStringLiteral("snap"), QLatin1String(name)}
                                                << snapTarget(area, f.x(), f.y(), f.width(), f.height());
            QTest::addRow("%s preset clamped", k) << kind << false << start << QStringList{QStringLiteral("resize"), QStringLiteral("1920x1080")}
                                                  << QRect(start.topLeft(), area.size());
            QTest::addRow("%s resize keeps the place", k) << kind << false << start << QStringList{QStringLiteral("resize"), QStringLiteral("800x600")}
                                                          << QRect(start.topLeft(), QSize(800, 600));
            // Right after unmaximize the frame still reads maximized; a
            // request equal to that stale frame (the clamped preset) would be
            // dropped by Mutter.
            QTest::addRow("%s maximized, preset clamped", k) << kind << true << QRect() << QStringList{QStringLiteral("resize"), QStringLiteral("1920x1080")}
                                                             << area;
            QTest::addRow("%s maximized, left half", k) << kind << true << QRect() << QStringList{QStringLiteral("snap"), QStringLiteral("leftHalf")}
                                                        << snapTarget(area, 0, 0, 0.5, 1);
        }
    }

    void commandLine()
    {
        QFETCH(QString, kind);
        QFETCH(bool, maximized);
        QFETCH(QRect, start);
        QFETCH(QStringList, command);
        QFETCH(QRect, expected);
        const auto window = focusedWindow(kind);
        QVERIFY(window);
        if (maximized) {
            eval(QStringLiteral("global.display.focus_window.maximize(Meta.MaximizeFlags.BOTH)"));
            QVERIFY(waitFor([] { return eval(QStringLiteral("global.display.focus_window.get_maximized()")) == QStringLiteral("3"); }));
        } else {
            QCOMPARE(window->setFrame(start).value_or(QRectF()).toRect(), start);
        }
        const Outcome outcome = ventrel(command);
        QVERIFY2(outcome.exitCode == 0, qPrintable(outcome.errors));
        QCOMPARE(outcome.json[QLatin1String("backend")].toString(), QStringLiteral("gnome"));
        QCOMPARE(frameOf(outcome.json[QLatin1String("requested")]), expected);
        QCOMPARE(frameOf(outcome.json[QLatin1String("achieved")]), expected);
        QCOMPARE(readBack(kind, expected), expected);
        QCOMPARE(eval(QStringLiteral("global.display.focus_window.get_maximized()")), QStringLiteral("0"));
    }

    // xterm sizes itself in character cells: a success, reported with the
    // smaller frame it got, in the right place, which the X server has too.
    void xtermReportsItsOwnSize()
    {
        QVERIFY(client(QStringLiteral("xterm")).focus());
        const Outcome outcome = ventrel({QStringLiteral("snap"), QStringLiteral("rightHalf")});
        QCOMPARE(outcome.exitCode, 0);
        const QRect requested = frameOf(outcome.json[QLatin1String("requested")]);
        const QRect achieved = frameOf(outcome.json[QLatin1String("achieved")]);
        QCOMPARE(requested, snapTarget(workArea(), 0.5, 0, 1, 1));
        QCOMPARE(achieved.topLeft(), requested.topLeft());
        QVERIFY(achieved != requested && requested.contains(achieved));
        QCOMPARE(xFrame(QStringLiteral("ventrel-xterm")), achieved);
    }

    void fixedSizeIsRefused()
    {
        auto window = focusedWindow(QStringLiteral("fixed"));
        QVERIFY(window);
        const QRect before = window->frame().toRect();
        const Outcome outcome = ventrel({QStringLiteral("snap"), QStringLiteral("leftHalf")});
        QCOMPARE(outcome.exitCode, 1);
        QCOMPARE(outcome.json[QLatin1String("error")].toString(), QStringLiteral("snapFailed"));
        QCOMPARE(m_system->focusedWindow().value()->frame().toRect(), before);
        // Its own size is not a change, so it may still be placed.
        const auto moved = window->setFrame(QRectF(QPointF(30, 50), before.size()));
        QCOMPARE(moved.value_or(QRectF()).toRect(), QRect(QPoint(30, 50), before.size()));
    }

    void fullScreenIsLeftAlone()
    {
        QVERIFY(focusedWindow(QStringLiteral("foot")));
        eval(QStringLiteral("global.display.focus_window.make_fullscreen()"));
        QVERIFY(waitFor([] { return eval(QStringLiteral("global.display.focus_window.is_fullscreen()")) == QStringLiteral("true"); }));
        auto window = m_system->focusedWindow();
        QVERIFY(window);
        QCOMPARE((*window)->setFrame(QRectF(0, 32, 683, 736)).error(), PlatformError::refused);
        QCOMPARE(eval(QStringLiteral("global.display.focus_window.is_fullscreen()")), QStringLiteral("true"));
        eval(QStringLiteral("global.display.focus_window.unmake_fullscreen()"));
    }

    // Checked on both sides: the backend never sends what cannot be a
    // window's frame, and the extension refuses it from anyone else.
    void invalidValues_data()
    {
        QTest::addColumn<QRectF>("frame"); // asked of the backend
        QTest::addColumn<QRect>("sent");   // sent to the extension by another caller
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("no width") << QRectF(0, 0, 0, 100) << QRect(0, 0, 0, 100);
        QTest::newRow("not a number / negative") << QRectF(nan, 0, 100, 100) << QRect(0, 0, -5, 100);
        QTest::newRow("beyond X11's range") << QRectF(0, 0, 40000, 100) << QRect(0, 0, 40000, 100);
        QTest::newRow("far off to the left") << QRectF(-40000, 0, 100, 100) << QRect(-40000, 0, 100, 100);
    }

    void invalidValues()
    {
        QFETCH(QRectF, frame);
        QFETCH(QRect, sent);
        auto window = focusedWindow(QStringLiteral("xmessage"));
        QVERIFY(window);
        QCOMPARE(window->setFrame(frame).error(), PlatformError::invalidValue);

        const QDBusMessage focused = QDBusConnection::sessionBus().call(GnomeShellProtocol::call(QStringLiteral("Focused")));
        QDBusArgument rect;
        rect.beginStructure();
        rect << sent.x() << sent.y() << sent.width() << sent.height();
        rect.endStructure();
        QDBusMessage call = GnomeShellProtocol::call(QStringLiteral("MoveResize"));
        call.setArguments({focused.arguments().value(0), QVariant::fromValue(rect)});
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
        QCOMPARE(reply.errorName(), QStringLiteral("app.ventrel.WindowControl1.Error.InvalidValue"));
    }

    // Last: the extension switched off, and on again through the Shell.
    void disabledExtensionIsExplained()
    {
        QDBusMessage disable = QDBusMessage::createMethodCall(
            QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("/org/gnome/Shell/Extensions"),
            QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("DisableExtension"));
        disable.setArguments({QString::fromLatin1(GnomeShellExtension::uuid)});
        QDBusConnection::sessionBus().call(disable);
        QVERIFY(waitFor([] { return GnomeShellExtension::probe(QDBusConnection::sessionBus()) == Status::disabled; }));
        QCOMPARE(m_system->focusedWindow().error(), PlatformError::unreachable);

        // A Wayland window is out of reach, and Ventrel says why, once.
        QVERIFY(client(QStringLiteral("foot")).focus());
        Outcome outcome = ventrel({QStringLiteral("snap"), QStringLiteral("leftHalf")});
        QCOMPARE(outcome.exitCode, 1);
        QCOMPARE(outcome.errors.count(GnomeShellExtension::explanation(Status::disabled)), 1);
        // An X11 window is still moved, through Xwayland.
        QVERIFY(client(QStringLiteral("xmessage")).focus());
        outcome = ventrel({QStringLiteral("snap"), QStringLiteral("leftHalf")});
        QVERIFY2(outcome.exitCode == 0, qPrintable(outcome.errors));
        QCOMPARE(outcome.json[QLatin1String("backend")].toString(), QStringLiteral("x11"));

        QVERIFY(GnomeShellExtension::enable(QDBusConnection::sessionBus()));
        QVERIFY(waitFor([] { return GnomeShellExtension::probe(QDBusConnection::sessionBus()) == Status::ready; }));
        QVERIFY(m_system->focusedWindow());
    }
};

QTEST_GUILESS_MAIN(TestGnomeShell)
#include "tst_gnomeshell.moc"
