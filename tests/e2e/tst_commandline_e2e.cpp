// The real `ventrel` binary on the desktop of with-desktop.sh, every result read back from the X server.
#include "e2e/DesktopProbe.h"
#include "stores/DefaultsDatabase.h"
#include "stores/PresetManager.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

struct Run { int status = -1; QString out, err; };

static Run ventrel(const QStringList& arguments, bool withDisplay = true)
{
    QProcess process;
    if (!withDisplay)
        process.setEnvironment(QProcess::systemEnvironment().filter(QRegularExpression("^(?!DISPLAY=)")));
    // CI runs the same suite against the installed package's program.
    process.start(qEnvironmentVariable("VENTREL_E2E_BINARY", VENTREL_BINARY), arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

class CommandLineEndToEnd : public QObject {
    Q_OBJECT
    DesktopProbe m_desktop;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_desktop.isConnected(), "run under tests/e2e/with-desktop.sh");
        // The same settings file the app writes, in the private XDG_CONFIG_HOME.
        PresetManager presets(DefaultsDatabase::standard());
        QVERIFY(presets.addPreset("Narrow Tall", 420, 700).has_value());
        presets.togglePresetVisibility(WindowPreset::defaultPresets().at(4).id); // hide "Compact"
        const std::vector<uint32_t> a = m_desktop.property(m_desktop.root(), "_NET_WORKAREA");
        if (DesktopProbe::hasWindowManager()) // the desktop is what the expectations below assume
            QCOMPARE(a.size() < 4 ? QRect() : QRect(a[0], a[1], a[2], a[3]), DesktopProbe::expectedWorkArea());
    }

    void cleanup() { m_desktop.closeClients(); }

    void landsOnExactFrame_data()
    {
        QTest::addColumn<QRect>("start");
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QRect>("expected");
        // Thirds of 1366 fall between pixels: rounded, they meet without gap or overlap.
        const QRect area = DesktopProbe::expectedWorkArea();
        const int top = area.y(), height = area.height(), upper = (height + 1) / 2;
        const QList<std::pair<const char*, QRect>> targets{
            {"leftHalf", {0, top, 683, height}},    {"rightHalf", {683, top, 683, height}},
            {"leftThird", {0, top, 455, height}},   {"centerThird", {455, top, 456, height}},
            {"rightThird", {911, top, 455, height}}, {"topHalf", {0, top, 1366, upper}},
            {"bottomHalf", {0, top + upper, 1366, height - upper}}};
        // From larger (taller than the work area, too) and from smaller than every target.
        for (const auto& [position, target] : targets) {
            QTest::addRow("%s from larger", position) << QRect(20, top + 10, 1330, 750) << false << QStringList{"snap", position} << target;
            QTest::addRow("%s from smaller", position) << QRect(600, top + 400, 200, 120) << false << QStringList{"snap", position} << target;
        }
        const QRect start(40, top + 10, 300, 200), normal(100, top + 50, 400, 300);
        QTest::newRow("resize keeps position") << start << false << QStringList{"resize", "640×480"} << QRect(40, top + 10, 640, 480);
        // "Full HD" (1920×1080) is larger than the work area both ways.
        QTest::newRow("preset clamped") << QRect(0, top, 500, 300) << false << QStringList{"apply", "Full HD"} << area;
        // Names compare as the store compares them; a preset hidden from the menu still applies.
        QTest::newRow("own preset") << start << false << QStringList{"apply", " narrow TALL "} << QRect(40, top + 10, 420, 700);
        QTest::newRow("hidden preset") << start << false << QStringList{"apply", "Compact"} << QRect(40, top + 10, 800, 600);
        // Un-maximizing puts the window back where it was; a size computed
        // from the maximized decorations would be off by them.
        QTest::newRow("maximized, resize") << normal << true << QStringList{"resize", "800x500"} << QRect(100, top + 50, 800, 500);
        QTest::newRow("maximized, snap") << normal << true << QStringList{"snap", "rightHalf"} << QRect(683, top, 683, height);
    }

    void landsOnExactFrame()
    {
        if (!DesktopProbe::hasWindowManager())
            QSKIP("needs a window manager");
        QFETCH(QRect, start);
        QFETCH(bool, maximized);
        QFETCH(QStringList, arguments);
        QFETCH(QRect, expected);
        const QString geometry = QString("%1x%2+%3+%4").arg(start.width()).arg(start.height()).arg(start.x()).arg(start.y());
        const xcb_window_t window = m_desktop.startClient(geometry, "client");
        QVERIFY(window != XCB_WINDOW_NONE);
        QVERIFY(!maximized || m_desktop.maximize(window));
        const Run run = ventrel(arguments);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.status, 0);
        QCOMPARE(m_desktop.settledFrame(window, expected), expected);
        QVERIFY(!m_desktop.isMaximized(window));
    }

    void noActiveWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("situation");
        const QStringList snap{"snap", "leftHalf"}, resize{"resize", "800x600"}, apply{"apply", "compact"};
        // openbox leaves _NET_ACTIVE_WINDOW naming a window that has closed.
        QTest::newRow("snap, closed window") << snap << "closed";
        QTest::newRow("resize, closed window") << resize << "closed";
        QTest::newRow("resize, active window None") << resize << "none";
        // No window system to ask at all (as on Wayland): said cleanly, no crash.
        QTest::newRow("apply, no display") << apply << "no display";
        if (!DesktopProbe::hasWindowManager()) // a leftover _NET_ACTIVE_WINDOW with no window manager behind it
            QTest::newRow("snap, window without window manager") << snap << "stale";
    }

    void noActiveWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, situation);
        if ((situation == "closed" || situation == "none") && DesktopProbe::hasWindowManager()) {
            QVERIFY(m_desktop.startClient("300x200+50+50", "closing-client"));
            m_desktop.closeClients();
        }
        if (situation == "none")
            m_desktop.setActiveWindow(XCB_WINDOW_NONE);
        const bool needsClient = situation == "no display" || situation == "stale";
        const xcb_window_t idle = needsClient ? m_desktop.startClient("300x200+50+50", "idle") : xcb_window_t{XCB_WINDOW_NONE};
        QVERIFY(!needsClient || idle != XCB_WINDOW_NONE);
        if (situation == "stale")
            m_desktop.setActiveWindow(idle);
        const Run run = ventrel(arguments, situation != "no display");
        QCOMPARE(run.err, QStringLiteral("No active window found.\n"));
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QString());
    }
};

QTEST_GUILESS_MAIN(CommandLineEndToEnd)
#include "tst_commandline_e2e.moc"
