#include "platform/WindowSystemFactory.h"

#include <QTest>

using Backend = WindowSystemFactory::Backend;

class TestWindowSystemFactory : public QObject {
    Q_OBJECT

private slots:
    void choiceFollowsTheOrder_data()
    {
        QTest::addColumn<QString>("session"); // space-separated facts
        QTest::addColumn<Backend>("backend");
        QTest::addColumn<QString>("reason");
        QTest::newRow("sway first") << "sway i3 wayland kwin x11 ewmh" << Backend::sway << "SWAYSOCK is set";
        QTest::newRow("i3") << "i3 x11 ewmh" << Backend::i3 << "i3's IPC socket is /run/i3";
        QTest::newRow("Plasma on Wayland") << "wayland kwin gnome x11 ewmh" << Backend::kwin << "a Wayland session with KWin";
        QTest::newRow("GNOME on Wayland") << "wayland gnome x11 ewmh" << Backend::gnome << "a Wayland session with GNOME Shell";
        // KWin's own X11 session keeps to EWMH.
        QTest::newRow("KWin on X11") << "kwin x11 ewmh" << Backend::x11 << "DISPLAY reaches an X server";
        QTest::newRow("Xwayland only") << "wayland x11 ewmh" << Backend::x11 << "DISPLAY reaches Xwayland";
        QTest::newRow("X without a window manager") << "x11" << Backend::none << "no EWMH window manager";
        QTest::newRow("unknown compositor") << "wayland" << Backend::none << "a Wayland session whose compositor";
        QTest::newRow("nothing") << "" << Backend::none << "no display";
        QTest::newRow("forced") << "forced:x11 sway" << Backend::x11 << "VENTREL_BACKEND is x11";
        QTest::newRow("forced nonsense is ignored") << "forced:beos sway" << Backend::sway << "SWAYSOCK";
        QTest::newRow("macOS") << "macos x11" << Backend::macos << "this is macOS";
    }

    void choiceFollowsTheOrder()
    {
        QFETCH(QString, session);
        QFETCH(Backend, backend);
        QFETCH(QString, reason);
        const QStringList facts = session.split(u' ', Qt::SkipEmptyParts);
        WindowSystemFactory::Environment e;
        e.forced = facts.filter("forced:").value(0).mid(7);
        e.swaySocket = facts.contains("sway") ? "/run/sway.sock" : "";
        e.i3Socket = facts.contains("i3") ? "/run/i3" : "";
        e.waylandDisplay = facts.contains("wayland") ? "wayland-0" : "";
        e.display = facts.contains("x11") ? ":0" : "";
        e.kwinOnBus = facts.contains("kwin");
        e.gnomeShellOnBus = facts.contains("gnome");
        e.ewmhWindowManager = facts.contains("ewmh");
        e.macos = facts.contains("macos");
        const WindowSystemFactory::Choice choice = WindowSystemFactory::choose(e);
        QCOMPARE(choice.backend, backend);
        QVERIFY2(choice.reason.contains(reason), qPrintable(choice.reason));
    }
};

QTEST_GUILESS_MAIN(TestWindowSystemFactory)
#include "tst_windowsystemfactory.moc"
