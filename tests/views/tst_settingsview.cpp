#include "ViewTestSupport.h"

#include "views/GeneralPane.h"
#include "views/PresetsPane.h"
#include "views/SnapPositionRowView.h"
#include "views/SnapPositionsPane.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

// The Settings window, its sidebar, and the General and Snap Positions panes
// (the Presets pane has its own test).
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
    void startsOnTheRequestedSection()
    {
        const QStringList panes{"GeneralPane", "PresetsPane", "SnapPositionsPane"};
        for (int section : {0, 1, 2}) {
            TemporaryStores stores;
            SettingsView view(SettingsSection::allCases()[section], stores.viewStores());
            view.show();
            QCOMPARE(view.sidebar()->selectedItems(), QList{view.sidebar()->item(section)});
            QCOMPARE(view.currentPane()->metaObject()->className(), panes[section]);
            // Only the General section asks for the general stores, which start the updater.
            QCOMPARE(stores.generalAsked, section == SettingsSection::general);
        }
    }

    void sidebarSwitchesPanesAndKeepsOneSelected()
    {
        TemporaryStores stores;
        SettingsView view(SettingsSection::presets, stores.viewStores());
        view.show();
        qobject_cast<PresetsPane*>(view.currentPane())->showAddForm();
        clickRow(view, 2);
        QCOMPARE(view.currentPane()->metaObject()->className(), "SnapPositionsPane");
        // A pane is built afresh: the add form is closed again.
        clickRow(view, 1);
        QVERIFY(!qobject_cast<PresetsPane*>(view.currentPane())->isAddFormShown());
        clickRow(view, 0);
        QCOMPARE(view.currentPane()->metaObject()->className(), "GeneralPane");
        QCOMPARE(view.findChildren<PresetsPane*>().size() + view.findChildren<SnapPositionsPane*>().size(), 0);

        // Neither a control-click nor clearing deselects the section.
        QWidget* pane = view.currentPane();
        clickRow(view, 0, Qt::ControlModifier);
        view.sidebar()->clearSelection();
        settle();
        QCOMPARE(view.sidebar()->selectedItems(), QList{view.sidebar()->item(0)});
        QCOMPARE(view.currentPane(), pane);
    }

    // The eyes' effect on the store goes through the keyboard suite; here the
    // rows' pictures and margins.
    void snapPositionRowsShowTheirPosition()
    {
        TemporaryStores stores;
        SnapPositionsPane pane(stores.snapPositions);
        pane.show();
        QCOMPARE(pane.rowCount(), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(pane.rowView(i)->position(), SnapPosition::allCases()[i]);
            QVERIFY(!pane.rowView(i)->iconLabel()->pixmap().isNull());
            QCOMPARE(pane.rowView(i)->iconLabel()->x(), 0); // no side margin in the row
            verifyEye(pane.rowView(i), pane.rowView(i)->visibilityButton(), true);
        }
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
        f.stores.updates.setAutomaticallyChecksForUpdates(true);
        settle();
        QVERIFY(f.pane.automaticChecksToggle()->isChecked());

        f.pane.resize(440, 160);
        settle();
        QVERIFY(f.pane.scrollArea()->verticalScrollBar()->maximum() > 0);
    }

    // Cancel changes nothing; Reset brings back the presets, the positions and
    // launch at login off, and leaves automatic checks off.
    void generalResetAsksFirst()
    {
        Fixture f;
        PresetManager& presets = f.stores.presets;
        QVERIFY(presets.addPreset("Square", 1000, 1000));
        presets.togglePresetVisibility(presets.presets().at(1).id);
        f.stores.snapPositions.togglePositionVisibility(SnapPosition::rightThird);
        QTest::mouseClick(f.pane.launchAtLoginToggle(), Qt::LeftButton);
        QTest::mouseClick(f.pane.automaticChecksToggle(), Qt::LeftButton);
        QTest::mouseClick(f.pane.windowScreenToggle(), Qt::LeftButton);
        settle();
        const QList<WindowPreset> before = presets.presets();

        for (bool confirm : {false, true}) {
            QTest::mouseClick(f.pane.resetButton(), Qt::LeftButton);
            QMessageBox* alert = f.pane.resetAlert();
            QVERIFY(alert && alert->isVisible());
            QAbstractButton* cancel = alert->escapeButton();
            QAbstractButton* reset = alert->buttons().at(alert->buttons().indexOf(cancel) == 0 ? 1 : 0);
            QCOMPARE(reset->text(), "Reset");
            QTest::mouseClick(confirm ? reset : cancel, Qt::LeftButton);
            settle();
            QVERIFY(!f.pane.resetAlert());
            QCOMPARE(presets.presets(), confirm ? WindowPreset::defaultPresets() : before);
            QCOMPARE(f.stores.snapPositions.visiblePositions().size(), confirm ? 7 : 6);
            QCOMPARE(f.pane.launchAtLoginToggle()->isChecked(), !confirm);
            QCOMPARE(f.pane.windowScreenToggle()->isChecked(), !confirm);
            QVERIFY(!f.stores.updater->automatic && !f.pane.automaticChecksToggle()->isChecked());
        }
    }
};

QTEST_MAIN(TestSettingsView)
#include "tst_settingsview.moc"
