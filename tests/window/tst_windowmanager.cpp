#include "window/FakeWindowSystem.h"
#include "window/WindowManager.h"

#include <QTest>

#include <limits>

class TestWindowManager : public QObject {
    Q_OBJECT

private slots:
    void errorTexts()
    {
        QCOMPARE(errorDescription(WindowError::noActiveWindow), QStringLiteral("No active window found."));
        QCOMPARE(errorDescription(WindowError::accessibilityNotGranted),
                 QStringLiteral("Accessibility permission not granted. Please enable it in System Preferences."));
        QCOMPARE(errorDescription(WindowError::resizeFailed), QStringLiteral("Failed to resize window."));
        QCOMPARE(errorDescription(WindowError::windowNotResizable), QStringLiteral("This window cannot be resized."));
        QCOMPARE(errorDescription(WindowError::snapFailed), QStringLiteral("Failed to snap window to position."));
    }

    void snapWritesPositionThenSizeOnce_data()
    {
        QTest::addColumn<QRectF>("visibleFrame");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expectedPosition");
        QTest::addColumn<QString>("expectedSize");
        const QRectF menuBarOnly(0, 0, 1440, 875);
        const QRectF dockBelow(0, 50, 1440, 825);
        QTest::newRow("leftHalf") << menuBarOnly << int(SnapPosition::leftHalf) << "0,25" << "720x875";
        QTest::newRow("topHalf") << menuBarOnly << int(SnapPosition::topHalf) << "0,25" << "1440x437.5";
        QTest::newRow("bottomHalf") << menuBarOnly << int(SnapPosition::bottomHalf) << "0,462.5" << "1440x437.5";
        QTest::newRow("bottomHalf dock") << dockBelow << int(SnapPosition::bottomHalf) << "0,437.5" << "1440x412.5";
        QTest::newRow("rightThird dock") << dockBelow << int(SnapPosition::rightThird) << "960,25" << "480x825";
    }

    void snapWritesPositionThenSizeOnce()
    {
        QFETCH(QRectF, visibleFrame);
        QFETCH(int, position);
        QFETCH(QString, expectedPosition);
        QFETCH(QString, expectedSize);
        FakeWindowSystem fake;
        fake.screen = WindowSystem::Screen{{0, 0, 1440, 900}, visibleFrame};
        WindowManager manager(fake);

        QVERIFY(manager.snapFocusedWindow(SnapPosition::Case(position)).has_value());
        const QStringList expected{
            "trusted", "frontmost", "screen", "app 42", "focused app", "release app",
            "position window " + expectedPosition, "size window " + expectedSize, "release window",
        };
        QCOMPARE(fake.calls, expected);
        QCOMPARE(fake.liveElements, 0);
    }

    void snapFailures_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("untrusted") << "untrusted" << int(WindowError::accessibilityNotGranted) << QStringList{"trusted"};
        QTest::newRow("no app") << "noApp" << int(WindowError::noActiveWindow) << QStringList{"trusted", "frontmost"};
        // The screen test comes before any element exists, even with no focused window.
        QTest::newRow("no screen") << "noScreen" << int(WindowError::snapFailed)
                                   << QStringList{"trusted", "frontmost", "screen"};
        QTest::newRow("no focused window")
            << "noWindow" << int(WindowError::noActiveWindow)
            << QStringList{"trusted", "frontmost", "screen", "app 42", "focused app", "release app"};
        QTest::newRow("focused status")
            << "focusedStatus" << int(WindowError::noActiveWindow)
            << QStringList{"trusted", "frontmost", "screen", "app 42", "focused app", "release window", "release app"};
        QTest::newRow("position refused")
            << "positionRefused" << int(WindowError::snapFailed)
            << QStringList{"trusted", "frontmost", "screen", "app 42", "focused app", "release app",
                           "position window 0,0", "size window 720x900", "release window"};
        QTest::newRow("size refused")
            << "sizeRefused" << int(WindowError::snapFailed)
            << QStringList{"trusted", "frontmost", "screen", "app 42", "focused app", "release app",
                           "position window 0,0", "size window 720x900", "release window"};
    }

    void snapFailures()
    {
        QFETCH(QString, scenario);
        QFETCH(int, error);
        QFETCH(QStringList, calls);
        FakeWindowSystem fake;
        fake.screen = WindowSystem::Screen{{0, 0, 1440, 900}, {0, 0, 1440, 900}};
        fake.trusted = scenario != "untrusted";
        if (scenario == "noApp")
            fake.frontmost.reset();
        if (scenario == "noScreen") {
            fake.screen.reset();
            fake.hasFocusedWindow = false;
        }
        fake.hasFocusedWindow = fake.hasFocusedWindow && scenario != "noWindow";
        fake.focusedStatus = scenario == "focusedStatus" ? -25212 : 0;
        fake.positionStatus = scenario == "positionRefused" ? -25205 : 0;
        fake.sizeStatus = scenario == "sizeRefused" ? -25205 : 0;

        const auto result = WindowManager(fake).snapFocusedWindow(SnapPosition::leftHalf);
        QVERIFY(!result.has_value());
        QCOMPARE(int(result.error()), error);
        QCOMPARE(fake.calls, calls);
        QCOMPARE(fake.liveElements, 0);
    }

    void resizeClampsToVisibleFrameAndKeepsPosition_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<bool>("hasScreen");
        QTest::addColumn<QString>("size");
        QTest::newRow("clamped") << 1920.0 << 1080.0 << true << "1440x875";
        QTest::newRow("fits") << 800.0 << 600.0 << true << "800x600";
        QTest::newRow("one side clamped") << 1000.0 << 5000.0 << true << "1000x875";
        QTest::newRow("no screen, unchanged") << 1920.0 << 1080.0 << false << "1920x1080";
        QTest::newRow("fraction kept") << 640.5 << 480.25 << true << "640.5x480.25";
    }

    void resizeClampsToVisibleFrameAndKeepsPosition()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(bool, hasScreen);
        QFETCH(QString, size);
        FakeWindowSystem fake;
        if (!hasScreen)
            fake.screen.reset();
        QVERIFY(WindowManager(fake).resizeFocusedWindow(width, height).has_value());
        const QStringList expected{"trusted", "frontmost", "app 42", "focused app", "release app",
                                   "screen", "size window " + size, "release window"};
        QCOMPARE(fake.calls, expected);
        QCOMPARE(fake.liveElements, 0);
    }

    void resizeFailures()
    {
        FakeWindowSystem untrusted;
        untrusted.trusted = false;
        QCOMPARE(WindowManager(untrusted).resizeFocusedWindow(800, 600).error(), WindowError::accessibilityNotGranted);
        QCOMPARE(untrusted.calls, QStringList{"trusted"});

        FakeWindowSystem noApp;
        noApp.frontmost.reset();
        QCOMPARE(WindowManager(noApp).resizeFocusedWindow(800, 600).error(), WindowError::noActiveWindow);

        FakeWindowSystem noWindow;
        noWindow.hasFocusedWindow = false;
        QCOMPARE(WindowManager(noWindow).resizeFocusedWindow(800, 600).error(), WindowError::noActiveWindow);
        QVERIFY(!noWindow.calls.contains("screen"));

        FakeWindowSystem refused;
        refused.sizeStatus = -25205;
        QCOMPARE(WindowManager(refused).resizeFocusedWindow(800, 600).error(), WindowError::resizeFailed);
        QCOMPARE(refused.liveElements, 0);
    }

    void impossibleSizesAreRefusedBeforeThePlatform()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        for (auto [w, h] : {std::pair{nan, 600.0}, {800.0, inf}, {0.0, 600.0}, {800.0, -5.0}, {0.5, 0.5}}) {
            FakeWindowSystem fake;
            QCOMPARE(WindowManager(fake).resizeFocusedWindow(w, h).error(), WindowError::resizeFailed);
            QVERIFY2(fake.calls.isEmpty(), qPrintable(fake.calls.join(u',')));
        }

        // A degenerate visible frame clamps to a size no window can have.
        FakeWindowSystem tiny;
        tiny.screen = WindowSystem::Screen{{0, 0, 1440, 900}, {0, 0, 0, 875}};
        QCOMPARE(WindowManager(tiny).resizeFocusedWindow(800, 600).error(), WindowError::resizeFailed);
        QVERIFY(!tiny.calls.join(u',').contains("size window"));
        QCOMPARE(WindowManager(tiny).snapFocusedWindow(SnapPosition::leftThird).error(), WindowError::snapFailed);
        QVERIFY(!tiny.calls.join(u',').contains("position window"));
        QCOMPARE(tiny.liveElements, 0);
    }

    void flipUsesFullScreenHeight()
    {
        // Only the full frame's height matters, not the visible frame's.
        QCOMPARE(WindowManager::topLeftPosition(QRectF(100, 50, 200, 300), 1000), QPointF(100, 650));
        QCOMPARE(WindowManager::topLeftPosition(QRectF(0, 0, 10, 10), 10), QPointF(0, 0));
    }
};

QTEST_GUILESS_MAIN(TestWindowManager)
#include "tst_windowmanager.moc"
