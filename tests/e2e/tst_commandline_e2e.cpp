// Drives the real `ventrel` binary on the virtual desktop of with-desktop.sh
// and reads every result back from the X server.
#include "e2e/DesktopProbe.h"
#include "stores/DefaultsDatabase.h"
#include "stores/PresetManager.h"

#include <QProcess>
#include <QTest>

#include <cmath>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run ventrel(const QStringList& arguments, bool withDisplay = true)
{
    QProcess process;
    if (!withDisplay) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        process.setProcessEnvironment(environment);
    }
    process.start(QStringLiteral(VENTREL_BINARY), arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString geometry(const QRect& r)
{
    return QStringLiteral("%1x%2+%3+%4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y());
}

} // namespace

class CommandLineEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void snapLandsOnExactFrame_data();
    void snapLandsOnExactFrame();
    void resizeKeepsPosition();
    void presetLargerThanScreenIsClamped();
    void maximizedWindowIsRestoredFirst_data();
    void maximizedWindowIsRestoredFirst();
    void noActiveWindow_data();
    void noActiveWindow();
    void customPresetFromSettingsFile();

private:
    DesktopProbe m_desktop;
};

void CommandLineEndToEnd::initTestCase()
{
    QVERIFY2(m_desktop.isConnected(), "run under tests/e2e/with-desktop.sh");
    if (!DesktopProbe::hasWindowManager())
        return;
    // The desktop is what the expectations below assume.
    const std::vector<uint32_t> area = m_desktop.cardinals(m_desktop.root(), "_NET_WORKAREA");
    QVERIFY(area.size() >= 4);
    QCOMPARE(QRect(int(area[0]), int(area[1]), int(area[2]), int(area[3])), DesktopProbe::expectedWorkArea());
}

void CommandLineEndToEnd::cleanup()
{
    m_desktop.closeClients();
}

void CommandLineEndToEnd::snapLandsOnExactFrame_data()
{
    QTest::addColumn<QString>("position");
    QTest::addColumn<QRect>("start");
    QTest::addColumn<QRect>("expected");

    // The screen is 1366 wide, so thirds fall between pixels: the far edges
    // are rounded, and the three thirds meet without gap or overlap.
    const QRect area = DesktopProbe::expectedWorkArea();
    const int top = area.y(), height = area.height();
    const int upper = int(std::lround(height / 2.0));
    const struct {
        const char* position;
        QRect expected;
    } targets[] = {
        {"leftHalf", {0, top, 683, height}},
        {"rightHalf", {683, top, 683, height}},
        {"leftThird", {0, top, 455, height}},
        {"centerThird", {455, top, 456, height}},
        {"rightThird", {911, top, 455, height}},
        {"topHalf", {0, top, 1366, upper}},
        {"bottomHalf", {0, top + upper, 1366, height - upper}},
    };
    // From a window larger than any target (taller than the work area, too)
    // and from one smaller than all of them, so neither the move nor the
    // resize can be helped along by where the window already was.
    const QRect larger(20, top + 10, 1330, 750);
    const QRect smaller(600, top + 400, 200, 120);
    for (const auto& target : targets) {
        QTest::addRow("%s from larger", target.position) << QString::fromLatin1(target.position) << larger << target.expected;
        QTest::addRow("%s from smaller", target.position) << QString::fromLatin1(target.position) << smaller << target.expected;
    }
}

void CommandLineEndToEnd::snapLandsOnExactFrame()
{
    if (!DesktopProbe::hasWindowManager())
        QSKIP("needs a window manager");
    QFETCH(QString, position);
    QFETCH(QRect, start);
    QFETCH(QRect, expected);

    const xcb_window_t window = m_desktop.startClient(geometry(start), QStringLiteral("snap-client"));
    QVERIFY(window != XCB_WINDOW_NONE);
    const Run run = ventrel({QStringLiteral("snap"), position});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.status, 0);
    QCOMPARE(m_desktop.settledFrame(window, expected), expected);
}

void CommandLineEndToEnd::resizeKeepsPosition()
{
    if (!DesktopProbe::hasWindowManager())
        QSKIP("needs a window manager");
    const QRect area = DesktopProbe::expectedWorkArea();
    const xcb_window_t window =
        m_desktop.startClient(QStringLiteral("300x200+100+%1").arg(area.y() + 80), QStringLiteral("resize-client"));
    QVERIFY(window != XCB_WINDOW_NONE);
    const QPoint before = m_desktop.frame(window)->topLeft();

    QCOMPARE(ventrel({QStringLiteral("resize"), QStringLiteral("640×480")}).status, 0);
    const QRect expected(before, QSize(640, 480));
    QCOMPARE(m_desktop.settledFrame(window, expected), expected);
}

void CommandLineEndToEnd::presetLargerThanScreenIsClamped()
{
    if (!DesktopProbe::hasWindowManager())
        QSKIP("needs a window manager");
    const QRect area = DesktopProbe::expectedWorkArea();
    const xcb_window_t window = m_desktop.startClient(QStringLiteral("500x300+0+%1").arg(area.y()),
                                                      QStringLiteral("clamp-client"));
    QVERIFY(window != XCB_WINDOW_NONE);

    // "Full HD" is 1920×1080, larger than the work area both ways.
    const Run run = ventrel({QStringLiteral("apply"), QStringLiteral("Full HD")});
    QCOMPARE(run.status, 0);
    QCOMPARE(m_desktop.settledFrame(window, area), area);
}

void CommandLineEndToEnd::maximizedWindowIsRestoredFirst_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QRect>("expected");
    const QRect area = DesktopProbe::expectedWorkArea();
    // The restore puts the window back at the place it had before it was
    // maximized; a resize keeps that place.
    QTest::newRow("resize") << QStringList{QStringLiteral("resize"), QStringLiteral("800x500")}
                            << QRect(100, area.y() + 50, 800, 500);
    QTest::newRow("snap") << QStringList{QStringLiteral("snap"), QStringLiteral("rightHalf")}
                          << QRect(683, area.y(), 683, area.height());
}

void CommandLineEndToEnd::maximizedWindowIsRestoredFirst()
{
    if (!DesktopProbe::hasWindowManager())
        QSKIP("needs a window manager");
    QFETCH(QStringList, arguments);
    QFETCH(QRect, expected);
    const QRect area = DesktopProbe::expectedWorkArea();
    const xcb_window_t window =
        m_desktop.startClient(QStringLiteral("400x300+100+%1").arg(area.y() + 50), QStringLiteral("maximized-client"));
    QVERIFY(window != XCB_WINDOW_NONE);
    QVERIFY2(m_desktop.maximize(window), qPrintable(QStringLiteral("frame %1, maximized %2")
                                                        .arg(geometry(m_desktop.frame(window).value_or(QRect())))
                                                        .arg(m_desktop.isMaximized(window))));

    QCOMPARE(ventrel(arguments).status, 0);
    // A size computed from the maximized decorations would be off by them.
    QCOMPARE(m_desktop.settledFrame(window, expected), expected);
    QVERIFY(!m_desktop.isMaximized(window));
}

void CommandLineEndToEnd::noActiveWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("withDisplay");
    QTest::addColumn<bool>("withClient");
    QTest::addColumn<bool>("activeNone");
    const QStringList snap{QStringLiteral("snap"), QStringLiteral("leftHalf")};
    const QStringList resize{QStringLiteral("resize"), QStringLiteral("800x600")};
    const QStringList apply{QStringLiteral("apply"), QStringLiteral("compact")};
    // openbox leaves _NET_ACTIVE_WINDOW naming a window that has closed.
    QTest::newRow("snap, closed window") << snap << true << false << false;
    QTest::newRow("resize, closed window") << resize << true << false << false;
    QTest::newRow("apply, closed window") << apply << true << false << false;
    QTest::newRow("snap, active window None") << snap << true << false << true;
    QTest::newRow("resize, active window None") << resize << true << false << true;
    // Without a display (or on a Wayland session) there is no window system
    // to ask at all, and it must say so cleanly rather than crash.
    QTest::newRow("snap, no display") << snap << false << true << false;
    QTest::newRow("resize, no display") << resize << false << true << false;
    if (!DesktopProbe::hasWindowManager()) {
        // A window exists, but nothing names it active.
        QTest::newRow("snap, window without window manager") << snap << true << true << false;
        QTest::newRow("resize, window without window manager") << resize << true << true << false;
    }
}

void CommandLineEndToEnd::noActiveWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, withDisplay);
    QFETCH(bool, withClient);
    QFETCH(bool, activeNone);
    if (!withClient && DesktopProbe::hasWindowManager()) {
        // A window that was active and has closed.
        QVERIFY(m_desktop.startClient(QStringLiteral("300x200+50+50"), QStringLiteral("closing-client")));
        m_desktop.closeClients();
    }
    if (activeNone)
        m_desktop.setActiveWindow(XCB_WINDOW_NONE);
    if (withClient)
        QVERIFY(m_desktop.startClient(QStringLiteral("300x200+50+50"), QStringLiteral("idle-client")));

    const Run run = ventrel(arguments, withDisplay);
    QCOMPARE(run.err, QStringLiteral("No active window found.\n"));
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QString());
}

void CommandLineEndToEnd::customPresetFromSettingsFile()
{
    if (!DesktopProbe::hasWindowManager())
        QSKIP("needs a window manager");
    // The same settings file the app writes, in the private XDG_CONFIG_HOME.
    PresetManager presets(DefaultsDatabase::standard());
    QVERIFY(presets.addPreset(QStringLiteral("Narrow Tall"), 420, 700).has_value());
    presets.togglePresetVisibility(WindowPreset::defaultPresets().at(4).id); // hide "Compact"

    const Run list = ventrel({QStringLiteral("list")});
    QCOMPARE(list.status, 0);
    QVERIFY2(list.out.contains(QStringLiteral("Narrow Tall  420×700      shown")), qPrintable(list.out));
    QVERIFY2(list.out.contains(QStringLiteral("Compact      800×600      hidden")), qPrintable(list.out));

    const QRect area = DesktopProbe::expectedWorkArea();
    const xcb_window_t window =
        m_desktop.startClient(QStringLiteral("300x200+40+%1").arg(area.y() + 10), QStringLiteral("preset-client"));
    QVERIFY(window != XCB_WINDOW_NONE);
    const QPoint before = m_desktop.frame(window)->topLeft();
    // Named as the store compares names: letter case and surrounding spaces aside.
    QCOMPARE(ventrel({QStringLiteral("apply"), QStringLiteral(" narrow TALL ")}).status, 0);
    const QRect expected(before, QSize(420, 700));
    QCOMPARE(m_desktop.settledFrame(window, expected), expected);
    // A hidden preset is only hidden from the menu; naming it still applies it.
    QCOMPARE(ventrel({QStringLiteral("apply"), QStringLiteral("Compact")}).status, 0);
    QCOMPARE(m_desktop.settledFrame(window, QRect(before, QSize(800, 600))), QRect(before, QSize(800, 600)));
}

QTEST_GUILESS_MAIN(CommandLineEndToEnd)
#include "tst_commandline_e2e.moc"
