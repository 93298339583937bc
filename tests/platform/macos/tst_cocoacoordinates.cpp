// AppKit's screen geometry is plain arithmetic, so it is checked here too.
#include "platform/macos/CocoaCoordinates.h"
#include "window/FakeWindowSystem.h"
#include "window/WindowManager.h"

#include <QTest>

class TestCocoaCoordinates : public QObject {
    Q_OBJECT

private slots:
    // The main screen (with the key window) sits above and to the right of
    // the primary display, whose top-left is the accessibility origin.
    void mainScreenThatIsNotThePrimary()
    {
        const std::vector<CocoaCoordinates::CocoaScreen> cocoa{
            {{0, 0, 1440, 900}, {0, 0, 1440, 875}},           // primary: menu bar on top
            {{1440, 200, 1920, 1080}, {1440, 200, 1920, 1055}}}; // main: its own menu bar
        FakeWindowSystem fake;
        fake.screenList = CocoaCoordinates::toScreens(cocoa, 1);
        QCOMPARE(fake.screenList.all[0].workArea, QRectF(0, 25, 1440, 875));
        QCOMPARE(fake.screenList.all[1].frame, QRectF(1440, -380, 1920, 1080));
        // Flipping around the main screen's own height would give y = 25 here.
        const auto snapped = WindowManager(fake).snapFocusedWindow(SnapPosition::bottomHalf);
        QVERIFY(snapped);
        QCOMPARE(snapped->requested, QRectF(1440, -355 + 527.5, 1920, 527.5));
        QCOMPARE(CocoaCoordinates::toScreens({}, 0).main, std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestCocoaCoordinates)
#include "tst_cocoacoordinates.moc"
