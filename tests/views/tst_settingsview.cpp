#include "ViewTestSupport.h"

#include "views/GeneralPane.h"
#include "views/PresetsPane.h"
#include "views/SnapPositionsPane.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

// The Settings window, its sidebar and the General pane (the rows of the
// other two panes are in tst_presetspane and tst_rowcontrast).
class TestSettingsView : public QObject {
    Q_OBJECT

    static void clickRow(SettingsView& view, int row, Qt::KeyboardModifiers modifiers = {})
    {
        const QRect rect = view.sidebar()->visualItemRect(view.sidebar()->item(row));
        QTest::mouseClick(view.sidebar()->viewport(), Qt::LeftButton, modifiers, rect.center());
        settle();
    }

    struct Fixture {
        TemporaryStores stores;
        GeneralPane pane{stores.general, stores.updates};
        Fixture() { pane.show(); }
    };

private slots:
    // It opens on the section asked for and builds each pane afresh; only the
    // General section asks for the general stores, which start the updater.
    void sidebarSwitchesPanesAndKeepsOneSelected()
    {
        TemporaryStores stores;
        SettingsView view(SettingsSection::presets, stores.viewStores());
        view.show();
        QCOMPARE(view.sidebar()->selectedItems(), QList{view.sidebar()->item(1)});
        QCOMPARE(view.currentPane()->metaObject()->className(), "PresetsPane");
        qobject_cast<PresetsPane*>(view.currentPane())->showAddForm();
        clickRow(view, 2);
        QCOMPARE(view.currentPane()->metaObject()->className(), "SnapPositionsPane");
        clickRow(view, 1);
        QVERIFY(!qobject_cast<PresetsPane*>(view.currentPane())->isAddFormShown());
        QVERIFY(!stores.generalAsked);
        clickRow(view, 0);
        QCOMPARE(view.currentPane()->metaObject()->className(), "GeneralPane");
        QVERIFY(stores.generalAsked);
        QCOMPARE(view.findChildren<PresetsPane*>().size() + view.findChildren<SnapPositionsPane*>().size(), 0);

        // Neither a control-click nor clearing deselects the section.
        QWidget* pane = view.currentPane();
        clickRow(view, 0, Qt::ControlModifier);
        view.sidebar()->clearSelection();
        settle();
        QCOMPARE(view.sidebar()->selectedItems(), QList{view.sidebar()->item(0)});
        QCOMPARE(view.currentPane(), pane);
    }

    void generalControlsShowWhatTheStoresHold()
    {
        Fixture f;
        QStringList texts;
        for (const QLabel* label : f.pane.findChildren<QLabel*>())
            texts << label->text();
#ifdef Q_OS_MACOS
        QVERIFY(texts.contains("Automatically start Ventrel when you log in to your Mac."));
#else
        QVERIFY(texts.contains("Automatically start Ventrel when you log in."));
#endif
        // A refused registration leaves the switch off; an accepted one turns it on.
        for (bool refuse : {true, false}) {
            f.stores.login->refusal = refuse ? "Operation not permitted" : "";
            QTest::mouseClick(f.pane.launchAtLoginToggle(), Qt::LeftButton);
            settle();
            QCOMPARE(std::pair(f.stores.general.launchAtLogin(), f.pane.launchAtLoginToggle()->isChecked()),
                     std::pair(!refuse, !refuse));
        }

        for (bool canCheck : {true, false}) {
            f.stores.updater->setCanCheck(canCheck);
            settle();
            QCOMPARE(f.pane.checkForUpdatesButton()->isEnabled(), canCheck);
            QTest::mouseClick(f.pane.checkForUpdatesButton(), Qt::LeftButton);
            QCOMPARE(f.stores.updater->checks, 1);
        }

        QTest::mouseClick(f.pane.windowScreenToggle(), Qt::LeftButton);
        QCOMPARE(f.stores.snapPositions.screenChoice(), ScreenChoice::window);
        QVERIFY(f.pane.windowScreenToggle()->isChecked());

        QTest::mouseClick(f.pane.automaticChecksToggle(), Qt::LeftButton);
        QVERIFY(!f.stores.updater->automatic && !f.pane.automaticChecksToggle()->isChecked());

        f.pane.resize(440, 160);
        settle();
        QVERIFY(f.pane.scrollArea()->verticalScrollBar()->maximum() > 0);
    }

    // Cancel changes nothing; Reset turns launch at login and the window's
    // screen off again (what else it resets, the store's own test shows), and
    // leaves automatic checks off.
    void generalResetAsksFirst()
    {
        Fixture f;
        QTest::mouseClick(f.pane.launchAtLoginToggle(), Qt::LeftButton);
        QTest::mouseClick(f.pane.automaticChecksToggle(), Qt::LeftButton);
        QTest::mouseClick(f.pane.windowScreenToggle(), Qt::LeftButton);
        settle();
        for (bool confirm : {false, true}) {
            QTest::mouseClick(f.pane.resetButton(), Qt::LeftButton);
            QMessageBox* alert = f.pane.resetAlert();
            QVERIFY(alert && alert->isVisible());
            QAbstractButton* reset = alert->findChild<QAbstractButton*>("confirmResetButton");
            QTest::mouseClick(confirm ? reset : alert->escapeButton(), Qt::LeftButton);
            settle();
            QVERIFY(!f.pane.resetAlert());
            QCOMPARE(f.pane.launchAtLoginToggle()->isChecked(), !confirm);
            QCOMPARE(f.pane.windowScreenToggle()->isChecked(), !confirm);
            QVERIFY(!f.stores.updater->automatic && !f.pane.automaticChecksToggle()->isChecked());
        }
    }
};

QTEST_MAIN(TestSettingsView)
#include "tst_settingsview.moc"
