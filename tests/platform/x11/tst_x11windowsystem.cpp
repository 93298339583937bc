// The X11 backend in process, against the real X server and window manager of
// tests/e2e/with-desktop.sh; the windows it is pointed at are made here.
#include "e2e/DesktopProbe.h"
#include "platform/x11/X11WindowSystem.h"
#include "window/WindowManager.h"

#include <QTest>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

void sync(xcb_connection_t* c)
{
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

QByteArray hostName()
{
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    return QByteArray(host);
}

// Hands the logic a window made by the test as the frontmost one, and
// destroys it right after the logic has looked it up, or after the position
// was written: the window closing between two calls of one operation.
class VanishingWindowSystem : public WindowSystem {
public:
    enum Moment { afterLookup, afterPosition };
    VanishingWindowSystem(X11WindowSystem& real, xcb_connection_t* c, xcb_window_t w, Moment moment)
        : m_real(real), m_connection(c), m_window(w), m_moment(moment) {}
    bool isProcessTrusted(bool prompt) override { return m_real.isProcessTrusted(prompt); }
    std::optional<ApplicationId> frontmostApplication() override { return m_window; }
    ElementPtr createApplicationElement(ApplicationId a) override { return m_real.createApplicationElement(a); }
    FocusedWindow copyFocusedWindow(const Element& application) override
    {
        FocusedWindow focused = m_real.copyFocusedWindow(application);
        if (m_moment == afterLookup)
            destroy();
        return focused;
    }
    std::optional<Screen> mainScreen() override { return m_real.mainScreen(); }
    int setPosition(const Element& w, QPointF p) override
    {
        const int status = m_real.setPosition(w, p);
        if (m_moment == afterPosition)
            destroy();
        return status;
    }
    int setSize(const Element& w, QSizeF s) override { return m_real.setSize(w, s); }
    void destroy()
    {
        xcb_destroy_window(m_connection, m_window);
        sync(m_connection);
    }

private:
    X11WindowSystem& m_real;
    xcb_connection_t* m_connection;
    xcb_window_t m_window;
    Moment m_moment;
};

} // namespace

class X11WindowSystemTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void mainScreenIsWorkAreaFlipped();
    void frontmostApplicationIsActiveWindow();
    void focusedWindowByKind_data();
    void focusedWindowByKind();
    void vanishedWindowFails();
    void vanishedMidOperation_data();
    void vanishedMidOperation();
    void refusedValues_data();
    void refusedValues();
    void fullScreenWindowIsLeftAlone();
    void clientSideDecorationsAreOutsideTheFrame();

private:
    // An unmapped top-level window with the given 32-bit properties.
    xcb_window_t makeWindow(const QList<QPair<const char*, QList<uint32_t>>>& properties, xcb_atom_t type);
    xcb_window_t makeWindow() { return makeWindow({}, XCB_ATOM_CARDINAL); }

    DesktopProbe m_desktop;
    std::unique_ptr<X11WindowSystem> m_system;
    QList<xcb_window_t> m_windows;
};

void X11WindowSystemTest::initTestCase()
{
    QVERIFY2(m_desktop.isConnected(), "run under tests/e2e/with-desktop.sh");
    m_system = X11WindowSystem::connect();
    QVERIFY(m_system);
}

void X11WindowSystemTest::cleanup()
{
    for (const xcb_window_t w : std::as_const(m_windows))
        xcb_destroy_window(m_desktop.connection(), w);
    sync(m_desktop.connection());
    m_windows.clear();
    m_desktop.closeClients();
}

xcb_window_t X11WindowSystemTest::makeWindow(const QList<QPair<const char*, QList<uint32_t>>>& properties,
                                             xcb_atom_t type)
{
    xcb_connection_t* c = m_desktop.connection();
    const xcb_window_t w = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, m_desktop.root(), 10, 10, 200, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    for (const auto& [name, values] : properties)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, m_desktop.atom(name), type, 32, uint32_t(values.size()),
                            values.constData());
    sync(c);
    m_windows << w;
    return w;
}

void X11WindowSystemTest::mainScreenIsWorkAreaFlipped()
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

void X11WindowSystemTest::frontmostApplicationIsActiveWindow()
{
    if (DesktopProbe::hasWindowManager()) {
        const xcb_window_t client = m_desktop.startClient(QStringLiteral("200x100+30+40"), QStringLiteral("front"));
        QVERIFY(client != XCB_WINDOW_NONE);
        QCOMPARE(m_system->frontmostApplication(), std::optional<WindowSystem::ApplicationId>(client));
        m_desktop.setActiveWindow(XCB_WINDOW_NONE);
        QCOMPARE(m_system->frontmostApplication(), std::nullopt);
    } else {
        // A _NET_ACTIVE_WINDOW with no window manager behind it (one that has
        // quit, say) names nothing.
        m_desktop.setActiveWindow(makeWindow());
        QCOMPARE(m_system->frontmostApplication(), std::nullopt);
    }
}

void X11WindowSystemTest::focusedWindowByKind_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<bool>("isTarget");
    QTest::newRow("plain window") << QByteArray() << true;
    QTest::newRow("normal type") << QByteArray("_NET_WM_WINDOW_TYPE_NORMAL") << true;
    QTest::newRow("dialog type") << QByteArray("_NET_WM_WINDOW_TYPE_DIALOG") << true;
    QTest::newRow("dock") << QByteArray("_NET_WM_WINDOW_TYPE_DOCK") << false;
    QTest::newRow("desktop") << QByteArray("_NET_WM_WINDOW_TYPE_DESKTOP") << false;
    QTest::newRow("another process") << QByteArray("pid:other") << true;
    QTest::newRow("this process") << QByteArray("pid:self") << false;
    QTest::newRow("this process on this host") << QByteArray("pid:self host:self") << false;
    QTest::newRow("same pid on another host") << QByteArray("pid:self host:other") << true;
}

void X11WindowSystemTest::focusedWindowByKind()
{
    QFETCH(QByteArray, kind);
    QFETCH(bool, isTarget);
    xcb_connection_t* c = m_desktop.connection();
    xcb_window_t window = XCB_WINDOW_NONE;
    if (kind.startsWith("_NET")) {
        window = makeWindow({{"_NET_WM_WINDOW_TYPE", {m_desktop.atom(kind.constData())}}}, XCB_ATOM_ATOM);
    } else if (kind.startsWith("pid:")) {
        const uint32_t pid = kind.contains("pid:self") ? uint32_t(::getpid()) : uint32_t(::getpid()) + 1;
        window = makeWindow({{"_NET_WM_PID", {pid}}}, XCB_ATOM_CARDINAL);
        if (kind.contains("host:")) {
            const QByteArray host = kind.contains("host:self") ? hostName() : QByteArray("elsewhere.example");
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8,
                                uint32_t(host.size()), host.constData());
            sync(c);
        }
    } else {
        window = makeWindow();
    }

    const WindowSystem::ElementPtr app = m_system->createApplicationElement(window);
    QVERIFY(app);
    const WindowSystem::FocusedWindow focused = m_system->copyFocusedWindow(*app);
    QCOMPARE(focused.status, 0);
    QCOMPARE(bool(focused.window), isTarget);
}

void X11WindowSystemTest::vanishedWindowFails()
{
    const xcb_window_t window = makeWindow();
    const WindowSystem::ElementPtr app = m_system->createApplicationElement(window);
    const WindowSystem::FocusedWindow focused = m_system->copyFocusedWindow(*app);
    QVERIFY(focused.window);

    xcb_destroy_window(m_desktop.connection(), window);
    sync(m_desktop.connection());
    m_windows.removeAll(window);
    QVERIFY(m_system->setPosition(*focused.window, {10, 10}) != 0);
    QVERIFY(m_system->setSize(*focused.window, {300, 200}) != 0);
    // Looking it up again fails too, rather than yielding a dead window.
    QVERIFY(m_system->copyFocusedWindow(*app).status != 0);
}

void X11WindowSystemTest::vanishedMidOperation_data()
{
    QTest::addColumn<bool>("snap");
    QTest::addColumn<int>("moment");
    QTest::addColumn<WindowError>("expected");
    QTest::newRow("snap, after lookup") << true << int(VanishingWindowSystem::afterLookup) << WindowError::snapFailed;
    QTest::newRow("snap, after position") << true << int(VanishingWindowSystem::afterPosition) << WindowError::snapFailed;
    QTest::newRow("resize, after lookup") << false << int(VanishingWindowSystem::afterLookup) << WindowError::resizeFailed;
}

void X11WindowSystemTest::vanishedMidOperation()
{
    QFETCH(bool, snap);
    QFETCH(int, moment);
    QFETCH(WindowError, expected);
    const xcb_window_t window = makeWindow();
    m_windows.removeAll(window);
    VanishingWindowSystem vanishing(*m_system, m_desktop.connection(), window, VanishingWindowSystem::Moment(moment));
    WindowManager manager(vanishing);
    const auto result = snap ? manager.snapFocusedWindow(SnapPosition::rightThird) : manager.resizeFocusedWindow(640, 480);
    QVERIFY(!result);
    QCOMPARE(result.error(), expected);
    // The backend is still usable afterwards.
    QVERIFY(m_system->mainScreen());
}

void X11WindowSystemTest::refusedValues_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::addColumn<bool>("isSize");
    QTest::addColumn<QPointF>("value");
    QTest::newRow("zero width") << true << QPointF(0, 100);
    QTest::newRow("zero height") << true << QPointF(100, 0);
    QTest::newRow("below one") << true << QPointF(0.4, 100);
    QTest::newRow("negative") << true << QPointF(-300, 100);
    QTest::newRow("too wide") << true << QPointF(32768, 100);
    QTest::newRow("too tall") << true << QPointF(100, 40000);
    QTest::newRow("NaN size") << true << QPointF(nan, 100);
    QTest::newRow("infinite size") << true << QPointF(100, infinity);
    QTest::newRow("NaN position") << false << QPointF(nan, 0);
    QTest::newRow("infinite position") << false << QPointF(0, -infinity);
    QTest::newRow("far position") << false << QPointF(1e9, 0);
}

void X11WindowSystemTest::refusedValues()
{
    QFETCH(bool, isSize);
    QFETCH(QPointF, value);
    const xcb_window_t window = makeWindow();
    const WindowSystem::ElementPtr app = m_system->createApplicationElement(window);
    const WindowSystem::FocusedWindow focused = m_system->copyFocusedWindow(*app);
    QVERIFY(focused.window);
    const int status = isSize ? m_system->setSize(*focused.window, QSizeF(value.x(), value.y()))
                              : m_system->setPosition(*focused.window, value);
    QVERIFY(status != 0);
    // The limits are the refused values' neighbours, which are fine.
    QCOMPARE(m_system->setSize(*focused.window, QSizeF(100, 100)), 0);
}

void X11WindowSystemTest::fullScreenWindowIsLeftAlone()
{
    const xcb_window_t window = makeWindow({{"_NET_WM_STATE", {m_desktop.atom("_NET_WM_STATE_FULLSCREEN")}}}, XCB_ATOM_ATOM);
    const WindowSystem::ElementPtr app = m_system->createApplicationElement(window);
    const WindowSystem::FocusedWindow focused = m_system->copyFocusedWindow(*app);
    QVERIFY(focused.window);
    QVERIFY(m_system->setPosition(*focused.window, {0, 0}) != 0);
    QVERIFY(m_system->setSize(*focused.window, {300, 200}) != 0);
}

void X11WindowSystemTest::clientSideDecorationsAreOutsideTheFrame()
{
    if (!DesktopProbe::hasWindowManager())
        QSKIP("needs a window manager");
    // A window that draws its own title bar and a shadow around it, as GTK
    // does: no decorations from the window manager (_MOTIF_WM_HINTS), and
    // _GTK_FRAME_EXTENTS naming the invisible shadow (left, right, top, bottom).
    const xcb_window_t window = makeWindow({{"_MOTIF_WM_HINTS", {2, 0, 0, 0, 0}}}, m_desktop.atom("_MOTIF_WM_HINTS"));
    const uint32_t shadow[] = {10, 14, 8, 12};
    xcb_connection_t* c = m_desktop.connection();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, m_desktop.atom("_GTK_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 32, 4,
                        shadow);
    xcb_map_window(c, window);
    sync(c);
    QVERIFY(DesktopProbe::waitFor([&] { return m_desktop.activeWindow() == window; }));

    const WindowSystem::ElementPtr app = m_system->createApplicationElement(window);
    const WindowSystem::FocusedWindow focused = m_system->copyFocusedWindow(*app);
    QVERIFY(focused.window);
    // The visible frame goes to (100, 50) at 600×400: the client, shadow and
    // all, reaches that much further out.
    QCOMPARE(m_system->setPosition(*focused.window, {100, 50}), 0);
    QCOMPARE(m_system->setSize(*focused.window, {600, 400}), 0);
    const QRect client(100 - 10, 50 - 8, 600 + 10 + 14, 400 + 8 + 12);
    QCOMPARE(m_desktop.settledFrame(window, client), client);
}

QTEST_GUILESS_MAIN(X11WindowSystemTest)
#include "tst_x11windowsystem.moc"
