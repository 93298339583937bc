#include "ViewTestSupport.h"

#include "views/GeneralPane.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

// The General pane of the Settings window (the rows of the other two panes
// are in tst_presetspane and tst_rowcontrast; the window and its sidebar, the
// keyboard suite's).
class TestSettingsView : public QObject {
    Q_OBJECT

private slots:
    // The toggles show what the stores hold. Reset asks first: Cancel changes
    // nothing; Reset turns launch at login and the window's screen off again
    // (what else it resets, the store's own test shows) and leaves automatic
    // checks off.
    void generalPane()
    {
        TemporaryStores stores;
        GeneralPane pane(stores.general, stores.updates);
        pane.show();
        QStringList texts;
        for (const QLabel* label : pane.findChildren<QLabel*>())
            texts << label->text();
#ifdef Q_OS_MACOS
        QVERIFY(texts.contains("Automatically start Ventrel when you log in to your Mac."));
#else
        QVERIFY(texts.contains("Automatically start Ventrel when you log in."));
#endif
        // A refused registration leaves the switch off; an accepted one turns it on.
        for (bool refuse : {true, false}) {
            stores.login->refusal = refuse ? "Operation not permitted" : "";
            QTest::mouseClick(pane.launchAtLoginToggle(), Qt::LeftButton);
            settle();
            QCOMPARE(std::pair(stores.general.launchAtLogin(), pane.launchAtLoginToggle()->isChecked()),
                     std::pair(!refuse, !refuse));
        }

        stores.updater->setCanCheck(true);
        settle();
        QTest::mouseClick(pane.checkForUpdatesButton(), Qt::LeftButton);
        QCOMPARE(stores.updater->checks, 1);

        QTest::mouseClick(pane.windowScreenToggle(), Qt::LeftButton);
        QCOMPARE(stores.snapPositions.screenChoice(), ScreenChoice::window);
        QTest::mouseClick(pane.automaticChecksToggle(), Qt::LeftButton);

        // Cancel first: the toggles still show the clicks above.
        for (bool confirm : {false, true}) {
            QTest::mouseClick(pane.resetButton(), Qt::LeftButton);
            QMessageBox* alert = pane.resetAlert();
            QVERIFY(alert && alert->isVisible());
            QAbstractButton* reset = alert->findChild<QAbstractButton*>("confirmResetButton");
            QTest::mouseClick(confirm ? reset : alert->escapeButton(), Qt::LeftButton);
            settle();
            QVERIFY(!pane.resetAlert());
            QCOMPARE(pane.launchAtLoginToggle()->isChecked(), !confirm);
            QCOMPARE(pane.windowScreenToggle()->isChecked(), !confirm);
            QVERIFY(!stores.updater->automatic && !pane.automaticChecksToggle()->isChecked());
        }
    }
};

QTEST_MAIN(TestSettingsView)
#include "tst_settingsview.moc"
