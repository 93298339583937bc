// The real `ventrel` binary on the desktop of with-desktop.sh, every result read back from the X server.
#include "e2e/DesktopProbe.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

struct Run {
    int status = -1;
    QString out, err;
};
using Client = DesktopProbe::Client;
Q_DECLARE_METATYPE(Client)

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

// "requested … , got 683×742 at 0,26" → the frame after "got".
static QRect reportedFrame(const QString& out)
{
    const QRegularExpressionMatch m = QRegularExpression("got (\\d+)×(\\d+) at (-?\\d+),(-?\\d+)\n$").match(out);
    return m.hasMatch() ? QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(), m.captured(2).toInt())
                        : QRect();
}

class CommandLineEndToEnd : public QObject {
    Q_OBJECT
    DesktopProbe m_desktop;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_desktop.isConnected(), "run under scripts/desktop/with-desktop.sh");
    }

    void cleanup() { m_desktop.closeClients(); }

    void landsOnExactFrame_data()
    {
        QTest::addColumn<Client>("client");
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
        // A GTK window draws its own title bar (and, composited, a shadow
        // outside its frame); one from maximized must find its shadow again.
        const QRect larger(20, top + 10, 1330, 750), smaller(600, top + 400, 200, 120), normal(100, top + 50, 400, 300);
        for (const auto& [position, target] : targets) {
            const QStringList snap{"snap", position};
            QTest::addRow("%s from larger", position) << Client::xmessage << larger << false << snap << target;
            QTest::addRow("%s from smaller", position) << Client::xmessage << smaller << false << snap << target;
            QTest::addRow("GTK %s from larger", position) << Client::gtk << larger << false << snap << target;
            QTest::addRow("GTK %s from maximized", position) << Client::gtk << normal << true << snap << target;
        }
        const QRect start(40, top + 10, 300, 200);
        const Client x = Client::xmessage;
        QTest::newRow("resize keeps position") << x << start << false << QStringList{"resize", "640×480"} << QRect(40, top + 10, 640, 480);
        // "Full HD" (1920×1080) is larger than the work area both ways.
        QTest::newRow("preset clamped") << x << QRect(0, top, 500, 300) << false << QStringList{"apply", "Full HD"} << area;
        // Un-maximizing puts the window back where it was; a size computed
        // from the maximized decorations would be off by them.
        QTest::newRow("maximized, resize") << x << normal << true << QStringList{"resize", "800x500"} << QRect(100, top + 50, 800, 500);
        QTest::newRow("maximized, snap") << x << normal << true << QStringList{"snap", "rightHalf"} << QRect(683, top, 683, height);
    }

    void landsOnExactFrame()
    {
        if (!DesktopProbe::hasWindowManager())
            QSKIP("needs a window manager");
        QFETCH(Client, client);
        QFETCH(QRect, start);
        QFETCH(bool, maximized);
        QFETCH(QStringList, arguments);
        QFETCH(QRect, expected);
        const QString geometry = QString("%1x%2+%3+%4").arg(start.width()).arg(start.height()).arg(start.x()).arg(start.y());
        const xcb_window_t window = m_desktop.startClient(geometry, "client", client);
        QVERIFY(window != XCB_WINDOW_NONE);
        QVERIFY(!maximized || m_desktop.maximize(window));
        const Run run = ventrel(arguments);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err + ventrel(QStringList{"--json"} + arguments).out));
        QCOMPARE(run.status, 0);
        const QRect reported = reportedFrame(run.out);
        // Restoring a maximized window puts it where the manager remembers
        // (fluxbox: not always where it was), and mutter may place a window
        // anew when it grows: a resize sets only the size.
        const bool placedByManager = maximized || qEnvironmentVariable("VENTREL_E2E_WM_NAME") == "mutter";
        if (placedByManager && arguments.first() != "snap")
            expected.moveTopLeft(reported.topLeft());
        QCOMPARE(m_desktop.settledFrame(window, expected), expected);
        QVERIFY(!m_desktop.isMaximized(window));
        // What the command said it got is what the window has.
        QCOMPARE(reported, expected);
    }

    // A window that takes another size than asked has still changed; one
    // that cannot change has refused, and the command says so.
    void windowsThatChooseTheirSize()
    {
        if (!DesktopProbe::hasWindowManager())
            QSKIP("needs a window manager");
        const xcb_window_t terminal = m_desktop.startClient("60x20+40+40", "terminal", Client::xterm);
        QVERIFY(terminal != XCB_WINDOW_NONE);
        Run run = ventrel({"snap", "leftHalf"});
        QCOMPARE(run.status, 0);
        const QRect achieved = reportedFrame(run.out);
        QCOMPARE(m_desktop.settledFrame(terminal, achieved), achieved);
        const QRect area = DesktopProbe::expectedWorkArea();
        QVERIFY2(achieved.width() <= area.width() / 2 && achieved.width() > area.width() / 2 - 20, qPrintable(run.out));
        m_desktop.closeClients();

        const xcb_window_t fixed = m_desktop.startClient("300x200+200+150", "fixed", Client::fixedSizeGtk);
        QVERIFY(fixed != XCB_WINDOW_NONE);
        const QRect before = *m_desktop.frame(fixed);
        // fluxbox and icewm resize a window whatever its size hints say: then
        // the command must say what it got, and that it succeeded.
        const bool hintsHonoured = !QStringList{"fluxbox", "icewm"}.contains(qEnvironmentVariable("VENTREL_E2E_WM_NAME"));
        for (const auto& [arguments, error] : {std::pair{QStringList{"snap", "leftHalf"}, "Failed to snap window to position.\n"},
                                               std::pair{QStringList{"resize", "800x600"}, "Failed to resize window.\n"}}) {
            run = ventrel(arguments);
            if (hintsHonoured) {
                QCOMPARE(run.status, 1);
                QCOMPARE(run.err, QString(error));
                QCOMPARE(m_desktop.frame(fixed)->size(), before.size());
            } else {
                QCOMPARE(run.status, 0);
                QCOMPARE(*m_desktop.frame(fixed), reportedFrame(run.out));
            }
        }
    }

    void noActiveWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("situation");
        const QStringList snap{"snap", "leftHalf"}, apply{"apply", "compact"};
        // openbox leaves _NET_ACTIVE_WINDOW naming a window that has closed.
        QTest::newRow("snap, closed window") << snap << "closed";
        // No window system to ask at all (as on Wayland): said cleanly, no crash.
        QTest::newRow("apply, no display") << apply << "no display";
        if (!DesktopProbe::hasWindowManager()) // a leftover _NET_ACTIVE_WINDOW with no window manager behind it
            QTest::newRow("snap, window without window manager") << snap << "stale";
    }

    void noActiveWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, situation);
        if (situation == "closed" && DesktopProbe::hasWindowManager()) {
            QVERIFY(m_desktop.startClient("300x200+50+50", "closing-client"));
            m_desktop.closeClients();
        }
        const bool needsClient = situation == "no display" || situation == "stale";
        const xcb_window_t idle = needsClient ? m_desktop.startClient("300x200+50+50", "idle") : xcb_window_t{XCB_WINDOW_NONE};
        QVERIFY(!needsClient || idle != XCB_WINDOW_NONE);
        if (situation == "stale")
            m_desktop.setActiveWindow(idle);
        const Run run = ventrel(arguments, situation != "no display");
        QVERIFY2(run.err == QStringLiteral("No active window found.\n"),
                 qPrintable(run.out + QString::number(m_desktop.activeWindow(), 16)));
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QString());
    }
};

QTEST_GUILESS_MAIN(CommandLineEndToEnd)
#include "tst_commandline_e2e.moc"
