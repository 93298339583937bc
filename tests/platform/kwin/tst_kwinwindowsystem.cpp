// The KWin backend against a real headless KWin (scripts/desktop/with-kwin.sh):
// native Wayland GTK windows and Xwayland ones, a dock reserving 30 px.

#include "e2e/DesktopProbe.h"
#include "platform/kwin/KWinWindowSystem.h"

#include <QProcess>
#include <QTest>

class KWinWindowSystemTest : public QObject {
    Q_OBJECT

    std::unique_ptr<KWinWindowSystem> m_system;
    std::vector<std::unique_ptr<QProcess>> m_clients;
    DesktopProbe m_probe;

    // A GTK window (GDK backend "wayland" or "x11"), once KWin reports it focused.
    std::unique_ptr<Window> start(const QString& backend, const QString& mode)
    {
        auto& client = m_clients.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GDK_BACKEND"), backend);
        client->setProcessEnvironment(environment);
        client->start(QStringLiteral(VENTREL_TEST_SOURCE_DIR "/e2e/gtk-client.py"), {backend, mode});
        const QRectF startFrame = mode == QStringLiteral("maximized")    ? QRectF(0, 0, 1366, 738)
                                  : mode == QStringLiteral("fullscreen") ? QRectF(0, 0, 1366, 768)
                                                                         : QRectF();
        std::unique_ptr<Window> window;
        std::ignore = QTest::qWaitFor([&] {
            auto focused = m_system->focusedWindow();
            if (focused && (startFrame.isNull() ? (*focused)->frame().width() == 500 : (*focused)->frame() == startFrame))
                window = std::move(*focused);
            return window != nullptr;
        });
        return window;
    }

private slots:
    void initTestCase()
    {
        m_system = KWinWindowSystem::connect();
        QVERIFY2(m_system, "org.kde.KWin is not on the session bus");
        // KWin takes the dock's strut a moment after the dock maps.
        QVERIFY(QTest::qWaitFor([&] {
            const WindowSystem::Screens screens = m_system->screens();
            return screens.main && screens.all.at(*screens.main).workArea == QRectF(0, 0, 1366, 738);
        }));
        QCOMPARE(m_system->screens().all.at(0).frame, QRectF(0, 0, 1366, 768));
    }

    void cleanup()
    {
        for (auto& client : m_clients) {
            client->kill();
            client->waitForFinished();
        }
        m_clients.clear();
        // Until KWin has let go of it, the next test could find the last window.
        QVERIFY(QTest::qWaitFor([&] { return !m_system->focusedWindow(); }));
    }

    void placesFrames_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("mode");    // how the window starts (see gtk-client.py)
        QTest::addColumn<QRectF>("target");   // a frame; a null place: resize only
        QTest::addColumn<QRect>("expected");  // null: the window must stay as it was
        QTest::addColumn<int>("error");       // -1: none

        // The dock leaves 1366x738 at the top. Every frame takes the same road
        // through the script: these two cover rounded edges (the middle third is
        // a pixel wider) and a place away from the top.
        const QRectF leftHalf(0, 0, 683, 738);
        const QRect sized(-1, -1, 800, 600); // the place is checked against the start
        for (const QString& backend : {QStringLiteral("wayland"), QStringLiteral("x11")}) {
            const QByteArray b = backend.toLatin1();
            QTest::addRow("%s centerThird", b.data())
                << backend << QString() << QRectF(1366.0 / 3, 0, 1366.0 / 3, 738) << QRect(455, 0, 456, 738) << -1;
            QTest::addRow("%s bottomHalf", b.data())
                << backend << QString() << QRectF(0, 369, 1366, 369) << QRect(0, 369, 1366, 369) << -1;
            QTest::addRow("%s maximized, leftHalf", b.data())
                << backend << QStringLiteral("maximized") << leftHalf << QRect(0, 0, 683, 738) << -1;
            QTest::addRow("%s resize", b.data()) << backend << QString() << QRectF(sized) << sized << -1;
            QTest::addRow("%s maximized, resize", b.data())
                << backend << QStringLiteral("maximized") << QRectF(sized) << QRect(0, 0, 800, 600) << -1;
            QTest::addRow("%s fixed size", b.data()) << backend << QStringLiteral("fixed") << leftHalf << QRect() << -1;
        }
        QTest::newRow("full screen") << QStringLiteral("wayland") << QStringLiteral("fullscreen") << leftHalf << QRect()
                                     << int(PlatformError::refused);
    }

    void placesFrames()
    {
        QFETCH(QString, backend);
        QFETCH(QString, mode);
        QFETCH(QRectF, target);
        QFETCH(QRect, expected);
        QFETCH(int, error);

        std::unique_ptr<Window> window = start(backend, mode);
        QVERIFY(window);
        const QRectF before = window->frame();
        if (expected.isNull())
            expected = before.toRect();
        else if (expected.x() < 0)
            expected.moveTopLeft(before.topLeft().toPoint());
        const auto placed = target.x() < 0 ? window->setSize(target.size()) : window->setFrame(target);
        QCOMPARE(placed ? -1 : int(placed.error()), error);
        if (placed)
            QCOMPARE(*placed, QRectF(expected));
        // Read again through KWin, and for Xwayland from the X server as well.
        auto again = m_system->focusedWindow();
        QVERIFY(again);
        QCOMPARE((*again)->frame(), QRectF(expected));
        if (backend == QStringLiteral("x11"))
            QCOMPARE(m_probe.settledFrame(m_probe.activeWindow(), expected), expected);
    }
};

QTEST_MAIN(KWinWindowSystemTest)
#include "tst_kwinwindowsystem.moc"
