#include "window/FakeWindowSystem.h"
#include "window/WindowManager.h"

#include <QRegularExpression>
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

    void platformCalls_data() // every platform call in order, for "snap POSITION" and "resize WxH"
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("dock"); // visible frame (0,50 1440x825) instead of (0,0 1440x875)
        QTest::addColumn<int>("error"); // -1: success
        QTest::addColumn<QStringList>("calls");
        const QStringList snap{"trusted", "frontmost", "screen", "app 42", "focused app", "release app"};
        const QStringList resize{"trusted", "frontmost", "app 42", "focused app", "release app"};
        const auto snapped = [&](QString at, QString size) {
            return snap + QStringList{"position window " + at, "size window " + size, "release window"};
        };
        const auto resized = [&](QString size) { return resize + QStringList{"screen", "size window " + size, "release window"}; };
        const int ok = -1, snapFailed = int(WindowError::snapFailed), noWindow = int(WindowError::noActiveWindow),
                  untrusted = int(WindowError::accessibilityNotGranted);
        QTest::newRow("leftHalf") << "snap leftHalf" << "" << false << ok << snapped("0,25", "720x875");
        QTest::newRow("topHalf") << "snap topHalf" << "" << false << ok << snapped("0,25", "1440x437.5");
        QTest::newRow("bottomHalf") << "snap bottomHalf" << "" << false << ok << snapped("0,462.5", "1440x437.5");
        QTest::newRow("bottomHalf dock") << "snap bottomHalf" << "" << true << ok << snapped("0,437.5", "1440x412.5");
        QTest::newRow("rightThird dock") << "snap rightThird" << "" << true << ok << snapped("960,25", "480x825");
        QTest::newRow("snap untrusted") << "snap leftHalf" << "untrusted" << false << untrusted << snap.mid(0, 1);
        QTest::newRow("snap no app") << "snap leftHalf" << "noApp" << false << noWindow << snap.mid(0, 2);
        // The screen test comes before any element exists, even with no focused window.
        QTest::newRow("snap no screen") << "snap leftHalf" << "noScreen" << false << snapFailed << snap.mid(0, 3);
        QTest::newRow("snap no window") << "snap leftHalf" << "noWindow" << false << noWindow << snap;
        QTest::newRow("snap focused status") << "snap leftHalf" << "focusedStatus" << false << noWindow
                                             << snap.mid(0, 5) + QStringList{"release window", "release app"};
        // A refused position still writes the size.
        QTest::newRow("snap position refused") << "snap leftHalf" << "positionRefused" << false << snapFailed << snapped("0,25", "720x875");
        QTest::newRow("snap size refused") << "snap leftHalf" << "sizeRefused" << false << snapFailed << snapped("0,25", "720x875");
        // Resizing clamps to the visible frame and never moves the window.
        QTest::newRow("clamped") << "resize 1920x1080" << "" << false << ok << resized("1440x875");
        QTest::newRow("fits") << "resize 800x600" << "" << false << ok << resized("800x600");
        QTest::newRow("one side clamped") << "resize 1000x5000" << "" << true << ok << resized("1000x825");
        QTest::newRow("fraction kept") << "resize 640.5x480.25" << "" << false << ok << resized("640.5x480.25");
        QTest::newRow("no screen, unclamped") << "resize 1920x1080" << "noScreen" << false << ok << resized("1920x1080");
        QTest::newRow("resize untrusted") << "resize 800x600" << "untrusted" << false << untrusted << resize.mid(0, 1);
        QTest::newRow("resize no app") << "resize 800x600" << "noApp" << false << noWindow << resize.mid(0, 2);
        QTest::newRow("resize no window") << "resize 800x600" << "noWindow" << false << noWindow << resize;
        QTest::newRow("resize refused") << "resize 800x600" << "sizeRefused" << false << int(WindowError::resizeFailed)
                                        << resized("800x600");
    }

    void platformCalls()
    {
        QFETCH(QString, action);
        QFETCH(QString, fault);
        QFETCH(bool, dock);
        QFETCH(int, error);
        QFETCH(QStringList, calls);
        FakeWindowSystem fake;
        fake.screen->visibleFrame = dock ? QRectF(0, 50, 1440, 825) : QRectF(0, 0, 1440, 875);
        fake.trusted = fault != "untrusted";
        if (fault == "noApp")
            fake.frontmost.reset();
        if (fault == "noScreen")
            fake.screen.reset();
        fake.hasFocusedWindow = fault != "noWindow" && !(fault == "noScreen" && action.startsWith("snap"));
        fake.focusedStatus = fault == "focusedStatus" ? -25212 : 0;
        fake.positionStatus = fault == "positionRefused" ? -25205 : 0;
        fake.sizeStatus = fault == "sizeRefused" ? -25205 : 0;
        WindowManager manager(fake);
        const QStringList words = action.split(QRegularExpression("[ x]"));
        const auto result = words[0] == "snap" ? manager.snapFocusedWindow(*SnapPosition::fromRawValue(words[1]))
                                               : manager.resizeFocusedWindow(words[1].toDouble(), words[2].toDouble());
        QCOMPARE(result.has_value() ? -1 : int(result.error()), error);
        QCOMPARE(fake.calls, calls);
        QCOMPARE(fake.liveElements, 0);
    }

    void impossibleSizesAreRefusedBeforeThePlatform()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
        for (auto [w, h] : {std::pair{nan, 600.0}, {800.0, inf}, {0.0, 600.0}, {800.0, -5.0}, {0.5, 0.5}}) {
            FakeWindowSystem fake;
            QCOMPARE(WindowManager(fake).resizeFocusedWindow(w, h).error(), WindowError::resizeFailed);
            QVERIFY2(fake.calls.isEmpty(), qPrintable(fake.calls.join(u',')));
        }
        // A degenerate visible frame clamps to a size no window can have.
        FakeWindowSystem tiny;
        tiny.screen = WindowSystem::Screen{{0, 0, 1440, 900}, {0, 0, 0, 875}};
        QCOMPARE(WindowManager(tiny).resizeFocusedWindow(800, 600).error(), WindowError::resizeFailed);
        QCOMPARE(WindowManager(tiny).snapFocusedWindow(SnapPosition::leftThird).error(), WindowError::snapFailed);
        QCOMPARE(tiny.calls.filter(QRegularExpression("^(size|position) ")), QStringList());
        QCOMPARE(tiny.liveElements, 0);
        // The flip uses the full frame's height, not the visible frame's.
        QCOMPARE(WindowManager::topLeftPosition(QRectF(100, 50, 200, 300), 1000), QPointF(100, 650));
    }
};

QTEST_GUILESS_MAIN(TestWindowManager)
#include "tst_windowmanager.moc"
