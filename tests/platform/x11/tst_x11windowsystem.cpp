// The X11 backend in process, on the real desktop of scripts/desktop/with-desktop.sh.
#include "e2e/DesktopProbe.h"
#include "platform/x11/X11WindowSystem.h"

#include <QSysInfo>
#include <QTest>

#include <limits>

class X11WindowSystemTest : public QObject {
    Q_OBJECT

    DesktopProbe m_desktop;
    std::unique_ptr<X11WindowSystem> m_system;

    // A top-level window (left for the process's end to remove) with one 32-bit property, if named.
    xcb_window_t makeWindow(const char* property = nullptr, QList<uint32_t> values = {}, xcb_atom_t type = XCB_ATOM_ATOM)
    {
        xcb_connection_t* c = m_desktop.connection();
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, m_desktop.root(), 10, 10, 200, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        if (property)
            setProperty(w, property, values, type);
        m_desktop.sync();
        return w;
    }
    void setProperty(xcb_window_t w, const char* property, QList<uint32_t> values, xcb_atom_t type)
    {
        xcb_change_property(m_desktop.connection(), XCB_PROP_MODE_REPLACE, w, m_desktop.atom(property), type, 32,
                            uint32_t(values.size()), values.constData());
        m_desktop.sync();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_desktop.isConnected(), "run under scripts/desktop/with-desktop.sh");
        m_system = X11WindowSystem::connect();
        QVERIFY(m_system);
    }

    void cleanup() { m_desktop.closeClients(); }

    void windowByKind_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<bool>("isTarget");
        QTest::newRow("plain window") << QByteArray() << true;
        QTest::newRow("dock") << QByteArray("_NET_WM_WINDOW_TYPE_DOCK") << false;
        QTest::newRow("desktop") << QByteArray("_NET_WM_WINDOW_TYPE_DESKTOP") << false;
        // Never our own windows: same process id on the same host.
        QTest::newRow("another process") << QByteArray("pid:other") << true;
        QTest::newRow("this process") << QByteArray("pid:self") << false;
        QTest::newRow("this process on this host") << QByteArray("pid:self host:self") << false;
        QTest::newRow("same pid on another host") << QByteArray("pid:self host:other") << true;
    }

    void windowByKind()
    {
        QFETCH(QByteArray, kind);
        QFETCH(bool, isTarget);
        const uint32_t pid = uint32_t(QCoreApplication::applicationPid()) + (kind.contains("pid:self") ? 0 : 1);
        const xcb_window_t window = kind.startsWith("_NET") ? makeWindow("_NET_WM_WINDOW_TYPE", {m_desktop.atom(kind.constData())})
                                  : kind.startsWith("pid") ? makeWindow("_NET_WM_PID", {pid}, XCB_ATOM_CARDINAL)
                                                           : makeWindow();
        if (kind.contains("host:")) {
            const QByteArray host = kind.contains("host:self") ? QSysInfo::machineHostName().toUtf8() : "elsewhere.example";
            xcb_change_property(m_desktop.connection(), XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLIENT_MACHINE,
                                XCB_ATOM_STRING, 8, uint32_t(host.size()), host.constData());
            m_desktop.sync();
        }
        const auto found = m_system->window(window);
        QCOMPARE(found.has_value(), isTarget);
        if (!found)
            QCOMPARE(found.error(), PlatformError::noFocusedWindow);
    }

    void refusedValues()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
        const xcb_window_t plain = makeWindow();
        auto found = m_system->window(plain);
        QVERIFY(found);
        for (const QSizeF size : {QSizeF(0, 100), QSizeF(100, 0), QSizeF(0.4, 100), QSizeF(-300, 100), QSizeF(32768, 100),
                                  QSizeF(100, 40000), QSizeF(nan, 100), QSizeF(100, inf)})
            QCOMPARE((*found)->setSize(size).error(), PlatformError::invalidValue);
        for (const QRectF frame : {QRectF(nan, 0, 10, 10), QRectF(0, -inf, 10, 10), QRectF(1e9, 0, 10, 10)})
            QCOMPARE((*found)->setFrame(frame).error(), PlatformError::invalidValue);
        // Full-screen windows are left alone.
        auto fullScreen = m_system->window(makeWindow("_NET_WM_STATE", {m_desktop.atom("_NET_WM_STATE_FULLSCREEN")}));
        QVERIFY(fullScreen);
        QCOMPARE((*fullScreen)->setFrame({0, 0, 300, 200}).error(), PlatformError::refused);
        QCOMPARE((*fullScreen)->setSize({300, 200}).error(), PlatformError::refused);

        // A window gone between the lookup and the move; looking it up again
        // fails rather than yielding a dead window, and the backend is still usable.
        xcb_destroy_window(m_desktop.connection(), plain);
        m_desktop.sync();
        QCOMPARE((*found)->setFrame({10, 10, 300, 200}).error(), PlatformError::windowGone);
        QCOMPARE(m_system->window(plain).error(), PlatformError::noFocusedWindow);
        QVERIFY(!m_system->screens().all.empty());
    }

    void clientSideDecorationsAreOutsideTheFrame_data()
    {
        QTest::addColumn<QList<uint32_t>>("shadow"); // left, right, top, bottom
        QTest::addColumn<QRect>("client");
        // The visible frame goes to (100, 50) at 600×400: the client, shadow and all, reaches that much further out.
        QTest::newRow("shadow") << QList<uint32_t>{10, 14, 8, 12} << QRect(100 - 10, 50 - 8, 600 + 10 + 14, 400 + 8 + 12);
        // A claim no shadow could make is not believed.
        QTest::newRow("absurd shadow") << QList<uint32_t>{4096, 4096, 4096, 4096} << QRect(100, 50, 600, 400);
    }

    void clientSideDecorationsAreOutsideTheFrame()
    {
        QFETCH(QList<uint32_t>, shadow);
        QFETCH(QRect, client);
        if (!DesktopProbe::hasWindowManager())
            QSKIP("needs a window manager");
        // Mapped without a title bar of the window manager's, once it is active.
        const xcb_window_t window = makeWindow("_MOTIF_WM_HINTS", {2, 0, 0, 0, 0}, m_desktop.atom("_MOTIF_WM_HINTS"));
        setProperty(window, "_GTK_FRAME_EXTENTS", shadow, XCB_ATOM_CARDINAL);
        xcb_map_window(m_desktop.connection(), window);
        QVERIFY(QTest::qWaitFor([&] { return m_desktop.activeWindow() == window; }));
        auto found = m_system->window(window);
        QVERIFY(found);
        const auto achieved = (*found)->setFrame({100, 50, 600, 400});
        QVERIFY(achieved);
        QCOMPARE(*achieved, QRectF(100, 50, 600, 400));
        QVERIFY(QTest::qWaitFor([&] { return m_desktop.clientFrame(window) == client; }));
    }

    void aGrabbedServerTimesOut()
    {
        xcb_grab_server(m_desktop.connection());
        m_desktop.sync();
        const auto found = m_system->focusedWindow();
        xcb_ungrab_server(m_desktop.connection());
        m_desktop.sync();
        QVERIFY(!found);
        QCOMPARE(found.error(), PlatformError::timedOut);
        // The late replies are dropped; the next request is answered as usual.
        QCOMPARE(m_system->screens().all.size(), size_t(1));
    }
};

QTEST_GUILESS_MAIN(X11WindowSystemTest)
#include "tst_x11windowsystem.moc"
