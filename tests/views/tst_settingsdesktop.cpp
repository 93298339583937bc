#include "ViewTestSupport.h"

#include "views/PresetRowView.h"
#include "views/PresetsPane.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>

// The Settings window on a real X server: what it looks like, saved for
// people to look at, and a real mouse drag in the presets list.
class TestSettingsDesktop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs an X server (run under xvfb-run)");
    }

    // Saved as build/screenshots/settings-<section>.png, with a custom preset
    // and a hidden preset and position to show. A drawn pane has many colours.
    void screenshots()
    {
        TemporaryStores stores;
        QVERIFY(stores.presets.addPreset("Square", 1000, 1000));
        stores.presets.togglePresetVisibility(stores.presets.presets().at(3).id);
        stores.snapPositions.togglePositionVisibility(SnapPosition::centerThird);
        const QDir dir(qEnvironmentVariable("VENTREL_SCREENSHOT_DIR", QDir::currentPath()));
        QVERIFY(dir.mkpath("."));
        for (SettingsSection section : SettingsSection::allCases()) {
            SettingsView view(section, stores.viewStores());
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            QTest::qWait(200); // lets the pane draw its deferred rows
            const QImage shot = view.screen()->grabWindow(view.winId()).toImage();
            const QString name = section.rawValue().toLower().replace(' ', '-');
            QVERIFY(shot.save(dir.filePath(QString("settings-%1.png").arg(name))));
            QCOMPARE(shot.size(), QSize(600, 400) * shot.devicePixelRatio());
            QSet<QRgb> paneColours;
            for (int i = 0; i < 380 * 300; ++i)
                paneColours.insert(shot.pixel(200 + i % 380, i / 380));
            QVERIFY2(paneColours.size() > 8, qPrintable(name));
        }
    }

    // The press lands on a row widget, must reach the list, start a drag and
    // end in a drop that reorders the store.
    void dragLastPresetToTheTop()
    {
        const QString xdotool = QStandardPaths::findExecutable("xdotool");
        if (xdotool.isEmpty())
            QSKIP("needs xdotool");
        TemporaryStores stores;
        PresetsPane pane(stores.presets);
        pane.setGeometry(0, 0, 440, 400);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));

        // From the name of the last row to the top edge of the first one, in steps.
        const QPoint from = pane.rowView(4)->findChild<QWidget*>("nameLabel")->mapToGlobal(QPoint(8, 8));
        const QPoint to = pane.rowView(0)->mapToGlobal(QPoint(60, 3));
        auto at = [](QPoint p) { return QStringList{"mousemove", QString::number(p.x()), QString::number(p.y())}; };
        QStringList script = at(from) + QStringList{"mousedown", "1"};
        for (int step = 1; step <= 8; ++step)
            script << "sleep" << "0.05" << at(from + (to - from) * step / 8);
        QProcess mouse;
        mouse.start(xdotool, script + QStringList{"sleep", "0.2", "mouseup", "1"});
        QTRY_COMPARE_WITH_TIMEOUT(PresetsPane::sortedPresets(stores.presets.presets()).first().name, "Compact", 10000);
        // waitForFinished() answers false for a process that already ended.
        QTRY_COMPARE_WITH_TIMEOUT(mouse.state(), QProcess::NotRunning, 10000);
        QCOMPARE(mouse.exitStatus(), QProcess::NormalExit);
        QCOMPARE(mouse.exitCode(), 0);
    }
};

QTEST_MAIN(TestSettingsDesktop)
#include "tst_settingsdesktop.moc"
