#include "ViewTestSupport.h"

#include "views/GeneralPane.h"
#include "views/PresetsPane.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

// The Settings window, its sidebar and the General pane (the rows of the
// other two panes are in tst_presetspane and tst_rowcontrast).
class TestSettingsView : public QObject {
    Q_OBJECT

    static void clickRow(SettingsView& view, int row)
    {
        const QRect rect = view.sidebar()->visualItemRect(view.sidebar()->item(row));
        QTest::mouseClick(view.sidebar()->viewport(), Qt::LeftButton, {}, rect.center());
        settle();
    }

private slots:
    // It opens on the section asked for and builds each pane afresh; only the
    // General section asks for the general stores, which start the updater.
    void sidebarSwitchesPanes()
    {
        TemporaryStores stores;
        SettingsView view(SettingsSection::presets, stores.viewStores());
        view.show();
        QCOMPARE(view.sidebar()->selectedItems(), QList{view.sidebar()->item(1)});
        QCOMPARE(view.currentPane()->metaObject()->className(), "PresetsPane");
        qobject_cast<PresetsPane*>(view.currentPane())->showAddForm();
        clickRow(view, 2);
        clickRow(view, 1);
        QVERIFY(!qobject_cast<PresetsPane*>(view.currentPane())->isAddFormShown());
        QVERIFY(!stores.generalAsked);
        clickRow(view, 0);
        QVERIFY(stores.generalAsked && qobject_cast<GeneralPane*>(view.currentPane()));
    }

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

        for (bool canCheck : {true, false}) {
            stores.updater->setCanCheck(canCheck);
            settle();
            QCOMPARE(pane.checkForUpdatesButton()->isEnabled(), canCheck);
            QTest::mouseClick(pane.checkForUpdatesButton(), Qt::LeftButton);
            QCOMPARE(stores.updater->checks, 1);
        }

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
