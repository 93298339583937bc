// The X11 backend in process, on the real desktop of tests/e2e/with-desktop.sh.
#include "e2e/DesktopProbe.h"
#include "platform/x11/X11WindowSystem.h"
#include "window/WindowManager.h"

#include <QSysInfo>
#include <QTest>

#include <limits>

// Hands the logic a window made by the test as the frontmost one, and destroys
// it right after the logic has looked it up, or after the position was
// written: the window closing between two calls of one operation.
class VanishingWindowSystem : public WindowSystem {
public:
    X11WindowSystem& real;
    DesktopProbe& desktop;
    xcb_window_t window;
    bool afterPosition;
    VanishingWindowSystem(X11WindowSystem& r, DesktopProbe& d, xcb_window_t w, bool p) : real(r), desktop(d), window(w), afterPosition(p) {}
    bool isProcessTrusted(bool prompt) override { return real.isProcessTrusted(prompt); }
    std::optional<ApplicationId> frontmostApplication() override { return window; }
    ElementPtr createApplicationElement(ApplicationId a) override { return real.createApplicationElement(a); }
    FocusedWindow copyFocusedWindow(const Element& a) override { return destroyIf(!afterPosition, real.copyFocusedWindow(a)); }
    std::optional<Screen> mainScreen() override { return real.mainScreen(); }
    int setPosition(const Element& w, QPointF p) override { return destroyIf(afterPosition, real.setPosition(w, p)); }
    int setSize(const Element& w, QSizeF s) override { return real.setSize(w, s); }
    template <class T>
    T destroyIf(bool now, T result)
    {
        if (now) {
            xcb_destroy_window(desktop.connection(), window);
            desktop.sync();
        }
        return result;
    }
};

class X11WindowSystemTest : public QObject {
    Q_OBJECT

    DesktopProbe m_desktop;
    std::unique_ptr<X11WindowSystem> m_system;

    // An unmapped top-level window (left for the process's end to remove) with one 32-bit property, if named.
    xcb_window_t makeWindow(const char* property = nullptr, QList<uint32_t> values = {}, xcb_atom_t type = XCB_ATOM_ATOM)
    {
        xcb_connection_t* c = m_desktop.connection();
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, m_desktop.root(), 10, 10, 200, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        if (property)
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, m_desktop.atom(property), type, 32, uint32_t(values.size()),
                                values.constData());
        m_desktop.sync();
        return w;
    }
    WindowSystem::FocusedWindow lookUp(xcb_window_t w) { return m_system->copyFocusedWindow(*m_system->createApplicationElement(w)); }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_desktop.isConnected(), "run under tests/e2e/with-desktop.sh");
        m_system = X11WindowSystem::connect();
        QVERIFY(m_system);
    }

    void cleanup() { m_desktop.closeClients(); }

    void mainScreenIsWorkAreaFlipped()
    {
        const std::optional<WindowSystem::Screen> screen = m_system->mainScreen();
        QVERIFY(screen);
        const QSize size = DesktopProbe::screenSize();
        QCOMPARE(screen->frame, QRectF(0, 0, size.width(), size.height()));
        // Without a window manager nothing writes _NET_WORKAREA: the whole screen.
        const QRect area = DesktopProbe::hasWindowManager() ? DesktopProbe::expectedWorkArea() : QRect(QPoint(), size);
        QCOMPARE(screen->visibleFrame, QRectF(area.x(), size.height() - area.y() - area.height(), area.width(), area.height()));
        // The logic's own flip, around the frame's height, gives back X coordinates.
        QCOMPARE(WindowManager::topLeftPosition(screen->visibleFrame, screen->frame.height()), QPointF(area.topLeft()));
    }

    void focusedWindowByKind_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<bool>("isTarget");
        QTest::newRow("plain window") << QByteArray() << true;
        QTest::newRow("normal type") << QByteArray("_NET_WM_WINDOW_TYPE_NORMAL") << true;
        QTest::newRow("dock") << QByteArray("_NET_WM_WINDOW_TYPE_DOCK") << false;
        QTest::newRow("desktop") << QByteArray("_NET_WM_WINDOW_TYPE_DESKTOP") << false;
        // Never our own windows: same process id on the same host.
        QTest::newRow("another process") << QByteArray("pid:other") << true;
        QTest::newRow("this process") << QByteArray("pid:self") << false;
        QTest::newRow("this process on this host") << QByteArray("pid:self host:self") << false;
        QTest::newRow("same pid on another host") << QByteArray("pid:self host:other") << true;
    }

    void focusedWindowByKind()
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
        const WindowSystem::FocusedWindow focused = lookUp(window);
        QCOMPARE(focused.status, 0);
        QCOMPARE(bool(focused.window), isTarget);
    }

    void vanishedMidOperation_data()
    {
        QTest::addColumn<bool>("snap");
        QTest::addColumn<bool>("afterPosition");
        QTest::newRow("snap, after lookup") << true << false;
        QTest::newRow("snap, after position") << true << true;
        QTest::newRow("resize, after lookup") << false << false;
    }

    void vanishedMidOperation()
    {
        QFETCH(bool, snap);
        QFETCH(bool, afterPosition);
        const xcb_window_t window = makeWindow();
        VanishingWindowSystem vanishing(*m_system, m_desktop, window, afterPosition);
        WindowManager manager(vanishing);
        const auto result = snap ? manager.snapFocusedWindow(SnapPosition::rightThird) : manager.resizeFocusedWindow(640, 480);
        QVERIFY(!result);
        QCOMPARE(result.error(), snap ? WindowError::snapFailed : WindowError::resizeFailed);
        // Looking it up again fails rather than yielding a dead window; the backend is still usable.
        QVERIFY(lookUp(window).status != 0);
        QVERIFY(m_system->mainScreen());
    }

    void refusedValues()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
        const WindowSystem::FocusedWindow focused = lookUp(makeWindow());
        QVERIFY(focused.window);
        for (const QSizeF size : {QSizeF(0, 100), QSizeF(100, 0), QSizeF(0.4, 100), QSizeF(-300, 100), QSizeF(32768, 100),
                                  QSizeF(100, 40000), QSizeF(nan, 100), QSizeF(100, inf)})
            QVERIFY2(m_system->setSize(*focused.window, size) != 0, qPrintable(QString("%1x%2").arg(size.width()).arg(size.height())));
        for (const QPointF position : {QPointF(nan, 0), QPointF(0, -inf), QPointF(1e9, 0)})
            QVERIFY2(m_system->setPosition(*focused.window, position) != 0, qPrintable(QString::number(position.x())));
        // The limits themselves are fine.
        QCOMPARE(m_system->setSize(*focused.window, QSizeF(1, 32767)), 0);
        QCOMPARE(m_system->setPosition(*focused.window, QPointF(10, 10)), 0);
        // Fullscreen windows are left alone.
        const WindowSystem::FocusedWindow fullScreen = lookUp(makeWindow("_NET_WM_STATE", {m_desktop.atom("_NET_WM_STATE_FULLSCREEN")}));
        QVERIFY(fullScreen.window);
        QVERIFY(m_system->setPosition(*fullScreen.window, {0, 0}) != 0);
        QVERIFY(m_system->setSize(*fullScreen.window, {300, 200}) != 0);
    }

    void clientSideDecorationsAreOutsideTheFrame()
    {
        if (!DesktopProbe::hasWindowManager())
            QSKIP("needs a window manager");
        // Drawing its own title bar and shadow, as GTK does: no decorations from the window manager
        // (_MOTIF_WM_HINTS); _GTK_FRAME_EXTENTS names the invisible shadow (left, right, top, bottom).
        const xcb_window_t window = makeWindow("_MOTIF_WM_HINTS", {2, 0, 0, 0, 0}, m_desktop.atom("_MOTIF_WM_HINTS"));
        const uint32_t shadow[] = {10, 14, 8, 12};
        xcb_change_property(m_desktop.connection(), XCB_PROP_MODE_REPLACE, window, m_desktop.atom("_GTK_FRAME_EXTENTS"),
                            XCB_ATOM_CARDINAL, 32, 4, shadow);
        xcb_map_window(m_desktop.connection(), window);
        m_desktop.sync();
        QVERIFY(DesktopProbe::waitFor([&] { return m_desktop.activeWindow() == window; }));
        const WindowSystem::FocusedWindow focused = lookUp(window);
        QVERIFY(focused.window);
        // The visible frame goes to (100, 50) at 600×400: the client, shadow and all, reaches that much further out.
        QCOMPARE(m_system->setPosition(*focused.window, {100, 50}), 0);
        QCOMPARE(m_system->setSize(*focused.window, {600, 400}), 0);
        const QRect client(100 - 10, 50 - 8, 600 + 10 + 14, 400 + 8 + 12);
        QCOMPARE(m_desktop.settledFrame(window, client), client);
    }
};

QTEST_GUILESS_MAIN(X11WindowSystemTest)
#include "tst_x11windowsystem.moc"
