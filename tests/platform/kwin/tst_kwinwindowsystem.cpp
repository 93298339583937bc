// The KWin backend against a real headless KWin (tests/e2e/with-kwin.sh):
// native Wayland GTK windows and Xwayland windows, a dock reserving 30 px.

#include "e2e/DesktopProbe.h"
#include "platform/kwin/KWinAnswer.h"
#include "platform/kwin/KWinWindowSystem.h"

#include <QApplication>
#include <QDBusMessage>
#include <QJsonArray>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

const QString gtkWindow = QStringLiteral(VENTREL_TEST_SOURCE_DIR "/e2e/gtk_window.py");

bool scriptLoaded(const QString& plugin)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
                                                       QStringLiteral("org.kde.kwin.Scripting"),
                                                       QStringLiteral("isScriptLoaded"));
    call.setArguments({plugin});
    return QDBusConnection::sessionBus().call(call).arguments().value(0).toBool();
}

} // namespace

class KWinWindowSystemTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void answersAreChecked_data();
    void answersAreChecked();
    void snapsLandExactly_data();
    void snapsLandExactly();
    void resizeKeepsThePlace_data();
    void resizeKeepsThePlace();
    void refusedWindowsStayUnchanged_data();
    void refusedWindowsStayUnchanged();
    void ownWindowIsNeverTheTarget();
    void staleScriptIsUnloaded();

private:
    // Starts a GTK window (GDK backend "wayland" or "x11") and waits until
    // KWin reports it focused: its frame is as wide as asked.
    std::unique_ptr<Window> start(const QString& backend, int width, int height, const QString& mode = {});

    std::unique_ptr<KWinWindowSystem> m_system;
    std::vector<std::unique_ptr<QProcess>> m_clients;
    DesktopProbe m_probe;
    QRect m_workArea;
};

void KWinWindowSystemTest::initTestCase()
{
    m_system = KWinWindowSystem::connect();
    QVERIFY2(m_system, "org.kde.KWin is not on the session bus");
    QCOMPARE(m_system->name(), QStringLiteral("kwin"));
    m_workArea = DesktopProbe::expectedWorkArea();
    // KWin takes the dock's strut a moment after the dock maps.
    QVERIFY(DesktopProbe::waitFor([&] {
        const WindowSystem::Screens screens = m_system->screens();
        return screens.main && screens.all.at(*screens.main).workArea == QRectF(m_workArea);
    }));
    QCOMPARE(m_system->screens().all.at(0).frame, QRectF(0, 0, 1366, 768));
}

void KWinWindowSystemTest::cleanup()
{
    for (auto& client : m_clients) {
        client->kill();
        client->waitForFinished();
    }
    m_clients.clear();
    // Until KWin has let go of them, the next test could find the last window.
    QVERIFY(DesktopProbe::waitFor([&] { return !m_system->focusedWindow(); }));
}

std::unique_ptr<Window> KWinWindowSystemTest::start(const QString& backend, int width, int height, const QString& mode)
{
    auto& client = m_clients.emplace_back(std::make_unique<QProcess>());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("GDK_BACKEND"), backend);
    client->setProcessEnvironment(environment);
    client->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    client->start(gtkWindow, {backend, QString::number(width), QString::number(height), mode});
    const auto isNew = [&](const QRectF& frame) {
        if (mode == QStringLiteral("maximized"))
            return frame == QRectF(m_workArea);
        if (mode == QStringLiteral("fullscreen"))
            return frame == QRectF(0, 0, 1366, 768);
        return frame.width() == width;
    };
    std::unique_ptr<Window> window;
    DesktopProbe::waitFor([&] {
        auto focused = m_system->focusedWindow();
        if (focused && isNew((*focused)->frame()))
            window = std::move(*focused);
        return window != nullptr;
    });
    return window;
}

void KWinWindowSystemTest::answersAreChecked_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QRect>("expected"); // null: refused

    const auto array = [](std::initializer_list<QJsonValue> values) { return QJsonValue(QJsonArray(values)); };
    QTest::newRow("plain") << array({10, -20, 300, 200}) << QRect(10, -20, 300, 200);
    QTest::newRow("fractional, Plasma 6") << array({10.4, 20.6, 300.5, 200}) << QRect(10, 21, 301, 200);
    QTest::newRow("empty size") << array({0, 0, 0, 200}) << QRect();
    QTest::newRow("negative size") << array({0, 0, -5, 200}) << QRect();
    QTest::newRow("far away") << array({1e12, 0, 300, 200}) << QRect();
    QTest::newRow("huge") << array({0, 0, 300, 1e300}) << QRect();
    QTest::newRow("text") << array({QStringLiteral("0"), 0, 300, 200}) << QRect();
    QTest::newRow("three values") << array({0, 0, 300}) << QRect();
    QTest::newRow("not an array") << QJsonValue(QStringLiteral("0,0,300,200")) << QRect();
}

void KWinWindowSystemTest::answersAreChecked()
{
    QFETCH(QJsonValue, value);
    QFETCH(QRect, expected);
    QCOMPARE(KWinAnswer::frame(value).value_or(QRect()), expected);
}

void KWinWindowSystemTest::snapsLandExactly_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QRectF>("target");
    QTest::addColumn<QRect>("expected");

    // The dock leaves 1366x738 at the top; thirds of 1366 meet edge to edge.
    const double third = 1366.0 / 3;
    const struct {
        const char* name;
        QRectF target;
        QRect expected;
    } snaps[] = {
        {"leftHalf", {0, 0, 683, 738}, {0, 0, 683, 738}},
        {"rightHalf", {683, 0, 683, 738}, {683, 0, 683, 738}},
        {"leftThird", {0, 0, third, 738}, {0, 0, 455, 738}},
        {"centerThird", {third, 0, third, 738}, {455, 0, 456, 738}},
        {"rightThird", {2 * third, 0, third, 738}, {911, 0, 455, 738}},
        {"topHalf", {0, 0, 1366, 369}, {0, 0, 1366, 369}},
        {"bottomHalf", {0, 369, 1366, 369}, {0, 369, 1366, 369}},
    };
    for (const QString& backend : {QStringLiteral("wayland"), QStringLiteral("x11")}) {
        for (const auto& snap : snaps)
            QTest::addRow("%s %s", qPrintable(backend), snap.name) << backend << QString() << snap.target << snap.expected;
        QTest::addRow("%s maximized, leftHalf", qPrintable(backend))
            << backend << QStringLiteral("maximized") << snaps[0].target << snaps[0].expected;
    }
}

void KWinWindowSystemTest::snapsLandExactly()
{
    QFETCH(QString, backend);
    QFETCH(QString, mode);
    QFETCH(QRectF, target);
    QFETCH(QRect, expected);

    std::unique_ptr<Window> window = start(backend, 500, 300, mode);
    QVERIFY(window);
    if (mode == QStringLiteral("maximized"))
        QCOMPARE(window->frame(), QRectF(m_workArea));
    const auto placed = window->setFrame(target);
    QVERIFY2(placed, qPrintable(platformErrorText(placed.error())));
    QCOMPARE(*placed, QRectF(expected));
    // Read again through KWin, and for Xwayland from the X server.
    auto again = m_system->focusedWindow();
    QVERIFY(again);
    QCOMPARE((*again)->frame(), QRectF(expected));
    if (backend == QStringLiteral("x11"))
        QCOMPARE(m_probe.settledFrame(m_probe.activeWindow(), expected), expected);
}

void KWinWindowSystemTest::resizeKeepsThePlace_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QSizeF>("size");

    for (const QString& backend : {QStringLiteral("wayland"), QStringLiteral("x11")}) {
        QTest::addRow("%s 800x600", qPrintable(backend)) << backend << QString() << QSizeF(800, 600);
        // A preset of 1920x1080 as the window logic clamps it to the work area.
        QTest::addRow("%s clamped preset", qPrintable(backend)) << backend << QString() << QSizeF(1366, 738);
        QTest::addRow("%s maximized", qPrintable(backend)) << backend << QStringLiteral("maximized") << QSizeF(800, 600);
    }
}

void KWinWindowSystemTest::resizeKeepsThePlace()
{
    QFETCH(QString, backend);
    QFETCH(QString, mode);
    QFETCH(QSizeF, size);

    std::unique_ptr<Window> window = start(backend, 500, 300, mode);
    QVERIFY(window);
    const QPointF place = window->frame().topLeft();
    const auto resized = window->setSize(size);
    QVERIFY2(resized, qPrintable(platformErrorText(resized.error())));
    QCOMPARE(resized->size(), size);
    if (mode.isEmpty())
        QCOMPARE(resized->topLeft(), place);
}

void KWinWindowSystemTest::refusedWindowsStayUnchanged_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("error"); // -1: unchanged frame

    QTest::newRow("wayland fixed size") << QStringLiteral("wayland") << QStringLiteral("fixed") << -1;
    QTest::newRow("x11 fixed size") << QStringLiteral("x11") << QStringLiteral("fixed") << -1;
    QTest::newRow("wayland full screen") << QStringLiteral("wayland") << QStringLiteral("fullscreen")
                                         << int(PlatformError::refused);
}

void KWinWindowSystemTest::refusedWindowsStayUnchanged()
{
    QFETCH(QString, backend);
    QFETCH(QString, mode);
    QFETCH(int, error);

    std::unique_ptr<Window> window = start(backend, 500, 300, mode);
    QVERIFY(window);
    const QRectF before = window->frame();
    const auto placed = window->setFrame(QRectF(0, 0, 683, 738));
    if (error >= 0) {
        QVERIFY(!placed);
        QCOMPARE(int(placed.error()), error);
    } else {
        QVERIFY(placed);
        QCOMPARE(*placed, before);
    }
    auto again = m_system->focusedWindow();
    QVERIFY(again);
    QCOMPARE((*again)->frame(), before);
}

void KWinWindowSystemTest::ownWindowIsNeverTheTarget()
{
    QWidget settings;
    settings.setWindowTitle(QStringLiteral("Settings"));
    settings.resize(600, 400);
    settings.show();
    settings.activateWindow();
    QTRY_VERIFY(settings.isActiveWindow());
    const auto focused = m_system->focusedWindow();
    QVERIFY(!focused);
    QCOMPARE(focused.error(), PlatformError::noFocusedWindow);
}

void KWinWindowSystemTest::staleScriptIsUnloaded()
{
    // A Ventrel that loaded its script and was killed before unloading it.
    QProcess killed;
    killed.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    killed.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-script")});
    QVERIFY(killed.waitForReadyRead(5000));
    const QString plugin = QStringLiteral("ventrel-%1-%2").arg(::getuid()).arg(killed.processId());
    QCOMPARE(QString::fromLatin1(killed.readLine().trimmed()), plugin);
    ::kill(pid_t(killed.processId()), SIGKILL);
    QVERIFY(killed.waitForFinished());
    QVERIFY(scriptLoaded(plugin));

    const auto next = KWinWindowSystem::connect();
    QVERIFY(next);
    QVERIFY(!scriptLoaded(plugin));
    QVERIFY(!QFile::exists(next->script().folder() + QLatin1Char('/') + plugin + QStringLiteral(".js")));
    QVERIFY(scriptLoaded(m_system->script().pluginName()));
}

int main(int argc, char** argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--hold-script") == 0) {
        QCoreApplication app(argc, argv);
        auto system = KWinWindowSystem::connect();
        if (!system || !system->prepare())
            return 1;
        std::printf("%s\n", qPrintable(system->script().pluginName()));
        std::fflush(stdout);
        return app.exec();
    }
    QApplication app(argc, argv);
    KWinWindowSystemTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kwinwindowsystem.moc"
