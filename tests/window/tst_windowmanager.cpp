#include "window/FakeWindowSystem.h"
#include "window/WindowManager.h"

#include <QRegularExpression>
#include <QTest>

#include <limits>

namespace {

using Screen = WindowSystem::Screen;
// The main screen (1440x900, a 25 px menu bar) and, to its right, a second one.
const Screen mainScreen{{0, 0, 1440, 900}, {0, 25, 1440, 875}};
const Screen dockScreen{{0, 0, 1440, 900}, {0, 25, 1440, 825}}; // a dock along the bottom
const Screen rightScreen{{1440, 0, 1280, 720}, {1440, 0, 1280, 690}};

std::expected<WindowManager::Change, WindowError> act(WindowManager& manager, const QString& action)
{
    const QStringList words = action.split(QRegularExpression("[ x]"));
    return words[0] == "snap" ? manager.snapFocusedWindow(*SnapPosition::fromRawValue(words[1]))
                              : manager.resizeFocusedWindow(words[1].toDouble(), words[2].toDouble());
}

} // namespace

class TestWindowManager : public QObject {
    Q_OBJECT

private slots:
    void platformCalls_data() // every platform call in order, for "snap POSITION" and "resize WxH"
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("dock");
        QTest::addColumn<int>("error"); // -1: success
        QTest::addColumn<QStringList>("calls");
        const QStringList found{"trusted", "focused", "screens"};
        const auto snapped = [&](QString frame) { return found + QStringList{"frame " + frame, "release"}; };
        const auto resized = [&](QString size) { return found + QStringList{"size " + size, "release"}; };
        const int ok = -1, snapFailed = int(WindowError::snapFailed), noWindow = int(WindowError::noActiveWindow),
                  untrusted = int(WindowError::accessibilityNotGranted), resizeFailed = int(WindowError::resizeFailed);
        QTest::newRow("topHalf") << "snap topHalf" << "" << false << ok << snapped("0,25 1440x437.5");
        QTest::newRow("bottomHalf dock") << "snap bottomHalf" << "" << true << ok << snapped("0,437.5 1440x412.5");
        QTest::newRow("snap untrusted") << "snap leftHalf" << "untrusted" << false << untrusted << found.mid(0, 1);
        QTest::newRow("snap no app") << "snap leftHalf" << "noApp" << false << noWindow << found.mid(0, 2);
        QTest::newRow("snap no screen, no window") << "snap leftHalf" << "noScreen noWindow" << false << snapFailed << found;
        QTest::newRow("snap no window") << "snap leftHalf" << "noWindow" << false << noWindow << found;
        // Moved but not resized: the size was refused.
        QTest::newRow("snap size refused") << "snap centerThird" << "keepsSize" << false << snapFailed << snapped("480,25 480x875");
        // A terminal that rounds to its character cells has still changed.
        QTest::newRow("snap other size") << "snap leftHalf" << "cells" << false << ok << snapped("0,25 720x875");
        // Resizing clamps to the visible frame and never moves the window.
        QTest::newRow("clamped") << "resize 1920x1080" << "" << false << ok << resized("1440x875");
        QTest::newRow("one side clamped") << "resize 1000x5000" << "" << true << ok << resized("1000x825");
        QTest::newRow("no screen, unclamped") << "resize 1920x1080" << "noScreen" << false << ok << resized("1920x1080");
        QTest::newRow("resize untrusted") << "resize 800x600" << "untrusted" << false << untrusted << found.mid(0, 1);
        QTest::newRow("resize no app") << "resize 800x600" << "noApp" << false << noWindow << found.mid(0, 2);
        QTest::newRow("resize write fails") << "resize 800x600" << "writeFails" << false << resizeFailed << resized("800x600");
        QTest::newRow("resize refused") << "resize 800x600" << "unchanged" << false << resizeFailed << resized("800x600");
        // Asking for the size the window has is no refusal.
        QTest::newRow("resize to own size") << "resize 400x300" << "unchanged" << false << ok << resized("400x300");
    }

    void platformCalls()
    {
        QFETCH(QString, action);
        QFETCH(QString, fault);
        QFETCH(bool, dock);
        QFETCH(int, error);
        QFETCH(QStringList, calls);
        FakeWindowSystem fake;
        fake.screenList.all = {dock ? dockScreen : mainScreen};
        fake.trusted = !fault.contains("untrusted");
        if (fault.contains("noApp"))
            fake.focusError = PlatformError::noFrontmostApplication;
        if (fault.contains("noWindow"))
            fake.focusError = PlatformError::noFocusedWindow;
        if (fault.contains("noScreen"))
            fake.screenList = {};
        if (fault.contains("writeFails"))
            fake.writeError = PlatformError::windowGone;
        if (fault.contains("unchanged"))
            fake.settle = [](const QRectF& before, const QRectF&) { return before; };
        if (fault.contains("keepsSize"))
            fake.settle = [](const QRectF& before, const QRectF& r) { return QRectF(r.topLeft(), before.size()); };
        if (fault.contains("cells"))
            fake.settle = [](const QRectF&, const QRectF& r) { return r.adjusted(0, 0, -7, -11); };
        WindowManager manager(fake);
        const auto result = act(manager, action);
        QCOMPARE(result.has_value() ? -1 : int(result.error()), error);
        QCOMPARE(fake.calls, calls);
        QCOMPARE(fake.liveWindows, 0);
        if (result)
            QCOMPARE(result->before, fake.frame);
    }

    void screenChoice_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QRectF>("window");
        QTest::addColumn<QRectF>("requested");
        const int onMain = int(ScreenChoice::main), onWindow = int(ScreenChoice::window);
        const QRectF mostlyRight(1300, 100, 400, 300), offScreen(5000, 5000, 100, 100);
        QTest::newRow("main, window on the right") << "snap leftHalf" << onMain << mostlyRight << QRectF(0, 25, 720, 875);
        QTest::newRow("window's screen") << "snap rightHalf" << onWindow << mostlyRight << QRectF(2080, 0, 640, 690);
        QTest::newRow("on no screen: main") << "snap leftHalf" << onWindow << offScreen << QRectF(0, 25, 720, 875);
        QTest::newRow("clamped to window's screen") << "resize 1920x1080" << onWindow << mostlyRight
                                                    << QRectF(1300, 100, 1280, 690);
    }

    void screenChoice()
    {
        QFETCH(QString, action);
        QFETCH(int, choice);
        QFETCH(QRectF, window);
        QFETCH(QRectF, requested);
        FakeWindowSystem fake;
        fake.screenList.all = {rightScreen, mainScreen};
        fake.screenList.main = 1;
        fake.frame = window;
        WindowManager manager(fake, ScreenChoice(choice));
        const auto result = act(manager, action);
        QVERIFY(result);
        QCOMPARE(result->requested, requested);
    }

    void impossibleSizesAreRefusedBeforeThePlatform()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
        for (auto [w, h] : {std::pair{nan, 600.0}, {800.0, inf}, {0.0, 600.0}, {800.0, -5.0}, {0.5, 0.5}}) {
            FakeWindowSystem fake;
            WindowManager manager(fake);
            QCOMPARE(manager.resizeFocusedWindow(w, h).error(), WindowError::resizeFailed);
            QVERIFY2(fake.calls.isEmpty(), qPrintable(fake.calls.join(u',')));
            QCOMPARE(manager.lastPlatformError(), PlatformError::invalidValue);
        }
        // A degenerate work area clamps to a size no window can have.
        FakeWindowSystem tiny;
        tiny.screenList.all[0].workArea.setWidth(0);
        QCOMPARE(WindowManager(tiny).resizeFocusedWindow(800, 600).error(), WindowError::resizeFailed);
        QCOMPARE(WindowManager(tiny).snapFocusedWindow(SnapPosition::leftThird).error(), WindowError::snapFailed);
        QCOMPARE(tiny.calls.filter(QRegularExpression("^(size|frame) ")), QStringList());
        QCOMPARE(tiny.liveWindows, 0);
    }
};

QTEST_GUILESS_MAIN(TestWindowManager)
#include "tst_windowmanager.moc"
