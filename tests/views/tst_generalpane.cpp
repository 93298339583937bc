#include "GeneralFakes.h"
#include "ViewTestSupport.h"

#include "views/GeneralPane.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

class TestGeneralPane : public QObject {
    Q_OBJECT

    struct Fixture {
        TemporaryStores stores;
        GeneralStores general{stores.presets, stores.snapPositions};
        GeneralPane pane{*general.general, *general.updates};
        Fixture() { pane.show(); }
    };

    // Custom preset, a hidden preset, a hidden position and launch at login on.
    static void changeEverything(Fixture& f)
    {
        QVERIFY(f.stores.presets.addPreset(QStringLiteral("Square"), 1000, 1000));
        f.stores.presets.togglePresetVisibility(f.stores.presets.presets().at(1).id);
        f.stores.snapPositions.togglePositionVisibility(SnapPosition::rightThird);
        QTest::mouseClick(f.pane.launchAtLoginToggle(), Qt::LeftButton);
        QVERIFY(f.general.general->launchAtLogin());
        settle();
    }

    static QPushButton* alertButton(GeneralPane& pane, const QString& text)
    {
        QMessageBox* alert = pane.resetAlert();
        if (!alert)
            return nullptr;
        for (QAbstractButton* b : alert->buttons()) {
            if (b->text() == text)
                return qobject_cast<QPushButton*>(b);
        }
        return nullptr;
    }

private slots:
    void launchAtLoginShowsWhatTheStoreKeeps_data()
    {
        QTest::addColumn<bool>("refuse");
        QTest::newRow("registration accepted") << false;
        QTest::newRow("registration refused") << true;
    }

    void launchAtLoginShowsWhatTheStoreKeeps()
    {
        QFETCH(bool, refuse);
        Fixture f;
        f.general.login->refuse = refuse;
        QVERIFY(!f.pane.launchAtLoginToggle()->isChecked());
        QTest::mouseClick(f.pane.launchAtLoginToggle(), Qt::LeftButton);
        QCOMPARE(f.general.login->registerCalls, 1);
        QCOMPARE(f.pane.launchAtLoginToggle()->isChecked(), !refuse);
        settle();
        QCOMPARE(f.pane.launchAtLoginToggle()->isChecked(), !refuse);
        QCOMPARE(f.general.general->launchAtLogin(), !refuse);
    }

    void checkButtonFollowsTheUpdater()
    {
        Fixture f;
        QPushButton* check = f.pane.checkForUpdatesButton();
        QCOMPARE(check->text(), QStringLiteral("Check for Updates..."));
        QVERIFY(!check->isEnabled());
        f.general.updater->setCanCheck(true);
        settle();
        QVERIFY(check->isEnabled());
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(f.general.updater->checks, 1);
        f.general.updater->setCanCheck(false);
        settle();
        QVERIFY(!check->isEnabled());
    }

    void automaticChecksBoundBothWays()
    {
        Fixture f;
        QCheckBox* toggle = f.pane.automaticChecksToggle();
        QVERIFY(toggle->isChecked());
        QTest::mouseClick(toggle, Qt::LeftButton);
        QVERIFY(!f.general.updater->automatic);
        QVERIFY(!toggle->isChecked());
        f.general.updates->setAutomaticallyChecksForUpdates(true);
        settle();
        QVERIFY(toggle->isChecked());
    }

    void cancelChangesNothing()
    {
        Fixture f;
        changeEverything(f);
        const QList<WindowPreset> presets = f.stores.presets.presets();
        const auto positions = f.stores.snapPositions.allPositionsWithVisibility();

        QTest::mouseClick(f.pane.resetButton(), Qt::LeftButton);
        QMessageBox* alert = f.pane.resetAlert();
        QVERIFY(alert && alert->isVisible());
        QCOMPARE(alert->text(), QStringLiteral("Reset All Settings?"));
        QCOMPARE(alert->informativeText(),
                 QStringLiteral("This will reset all presets and snap positions to their defaults."));
        QCOMPARE(alert->buttonRole(alertButton(f.pane, QStringLiteral("Reset"))), QMessageBox::DestructiveRole);
        // Return and Escape both keep the settings.
        QCOMPARE(alert->defaultButton(), alertButton(f.pane, QStringLiteral("Cancel")));
        QCOMPARE(alert->escapeButton(), alertButton(f.pane, QStringLiteral("Cancel")));
        QTest::mouseClick(alertButton(f.pane, QStringLiteral("Cancel")), Qt::LeftButton);
        settle();
        QVERIFY(!f.pane.resetAlert());
        QCOMPARE(f.stores.presets.presets(), presets);
        QCOMPARE(f.stores.snapPositions.allPositionsWithVisibility(), positions);
        QVERIFY(f.general.general->launchAtLogin());
        QCOMPARE(f.general.login->unregisterCalls, 0);
    }

    void resetRestoresDefaultsButKeepsUpdateSetting()
    {
        Fixture f;
        changeEverything(f);
        QTest::mouseClick(f.pane.automaticChecksToggle(), Qt::LeftButton);
        QVERIFY(!f.general.updater->automatic);

        QTest::mouseClick(f.pane.resetButton(), Qt::LeftButton);
        QTest::mouseClick(alertButton(f.pane, QStringLiteral("Reset")), Qt::LeftButton);
        settle();
        QVERIFY(!f.pane.resetAlert());
        QCOMPARE(f.stores.presets.presets().size(), 5);
        for (const WindowPreset& p : f.stores.presets.presets())
            QVERIFY(p.isVisible && p.isDefault);
        QCOMPARE(f.stores.snapPositions.visiblePositions().size(), 7);
        QVERIFY(!f.general.general->launchAtLogin());
        QVERIFY(!f.pane.launchAtLoginToggle()->isChecked());
        QVERIFY(!f.general.updater->automatic);
        QVERIFY(!f.pane.automaticChecksToggle()->isChecked());
    }

    void scrollsWhenTooShort()
    {
        Fixture f;
        f.pane.resize(440, 400);
        settle();
        QCOMPARE(f.pane.scrollArea()->verticalScrollBar()->maximum(), 0);
        f.pane.resize(440, 160);
        settle();
        QVERIFY(f.pane.scrollArea()->verticalScrollBar()->maximum() > 0);
    }
};

QTEST_MAIN(TestGeneralPane)
#include "tst_generalpane.moc"
