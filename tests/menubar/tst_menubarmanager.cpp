#include "menubar/MenuBarManager.h"
#include "menubar/MenuProbe.h"
#include "stores/MemoryDefaultsDatabase.h"
#include "stores/PresetManager.h"
#include "stores/SnapPositionManager.h"
#include "window/FakeWindowSystem.h"

#include <QSystemTrayIcon>
#include <QTest>

namespace {

struct Fixture {
    std::shared_ptr<MemoryDefaultsDatabase> db = std::make_shared<MemoryDefaultsDatabase>();
    PresetManager presets{db};
    SnapPositionManager positions{db};
    FakeWindowSystem windows;

    // Leaves `count` visible presets: the built-in ones first, then custom ones.
    void showPresets(int count)
    {
        for (int i = 5; i < count; ++i)
            QVERIFY(presets.addPreset(QStringLiteral("Custom %1").arg(i), 500 + i, 400 + i).has_value());
        for (int i = count; i < 5; ++i)
            presets.togglePresetVisibility(WindowPreset::defaultPresets().at(i).id);
    }
};

const QStringList tail{"---", "Snap Position >", "---", "Settings...", "About Ventrel", "---", "Quit Ventrel"};

} // namespace

class TestMenuBarManager : public QObject {
    Q_OBJECT

private slots:
    void menuStructure_data()
    {
        QTest::addColumn<int>("visiblePresets");
        QTest::addColumn<bool>("trusted");
        for (int n : {0, 3, 9, 12}) {
            QTest::addRow("%d presets, trusted", n) << n << true;
            QTest::addRow("%d presets, untrusted", n) << n << false;
        }
    }

    void menuStructure()
    {
        QFETCH(int, visiblePresets);
        QFETCH(bool, trusted);
        Fixture f;
        f.showPresets(visiblePresets);
        f.windows.trusted = trusted;
        MenuBarManager manager(f.presets, f.positions, f.windows);

        const QList<QAction*> actions = manager.menu()->actions();
        QStringList expected;
        if (!trusted)
            expected << "Grant Accessibility Permission..." << "---";
        const QList<WindowPreset> visible = f.presets.visiblePresets();
        QCOMPARE(visible.size(), visiblePresets);
        for (const WindowPreset& p : visible)
            expected << QStringLiteral("%1\u00D7%2 - %3").arg(p.width).arg(p.height).arg(p.name);
        expected << tail;
        QCOMPARE(menuLines(manager.menu()), expected);

        const int first = trusted ? 0 : 2;
        for (int i = 0; i < visiblePresets; ++i) {
            const QKeySequence key = actions.at(first + i)->shortcut();
            QCOMPARE(key, i < 9 ? QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)) : QKeySequence());
            QCOMPARE(actions.at(first + i)->data().value<WindowPreset>(), visible.at(i));
        }
        QCOMPARE(findAction(manager.menu(), "Settings...")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
        QCOMPARE(findAction(manager.menu(), "Quit Ventrel")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        QCOMPARE(findAction(manager.menu(), "About Ventrel")->shortcut(), QKeySequence());
    }

    void builtInTitlesAndSnapSubmenu()
    {
        Fixture f;
        MenuBarManager manager(f.presets, f.positions, f.windows);
        QCOMPARE(menuLines(manager.menu()).mid(0, 5),
                 (QStringList{"1200\u00D7800 - Web Demo", "1440\u00D7900 - Desktop App", "1920\u00D71080 - Full HD",
                              "1280\u00D7720 - HD Video", "800\u00D7600 - Compact"}));
        const QMenu* snap = findAction(manager.menu(), "Snap Position")->menu();
        QCOMPARE(menuLines(snap), (QStringList{"Left Half", "Right Half", "Left Third", "Center Third", "Right Third",
                                               "Top Half", "Bottom Half"}));
        for (const QAction* a : snap->actions())
            QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
        QCOMPARE(snap->actions().at(3)->data().value<SnapPosition>(), SnapPosition(SnapPosition::centerThird));
        QVERIFY(!manager.statusItem()->icon().isNull());
    }

    void hiddenPositionsAndNonAsciiNames()
    {
        Fixture f;
        for (SnapPosition p : SnapPosition::allCases())
            f.positions.togglePositionVisibility(p);
        QVERIFY(f.presets.addPreset(QStringLiteral("Téléphone 📱"), 390, 844).has_value());
        MenuBarManager manager(f.presets, f.positions, f.windows);
        const QStringList lines = menuLines(manager.menu());
        QCOMPARE(lines.mid(5), (QStringList{QStringLiteral("390\u00D7844 - Téléphone 📱"), "---", "---", "Settings...",
                                            "About Ventrel", "---", "Quit Ventrel"}));

        f.positions.togglePositionVisibility(SnapPosition::topHalf);
        manager.rebuildMenu();
        QCOMPARE(menuLines(findAction(manager.menu(), "Snap Position")->menu()), QStringList{"Top Half"});
    }

    void applyingShowsOnlyFailures_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("alert");
        QTest::newRow("preset ok") << "1440\u00D7900 - Desktop App" << "" << "";
        QTest::newRow("snap ok") << "Right Third" << "" << "";
        QTest::newRow("preset refused") << "1440\u00D7900 - Desktop App" << "size"
                                        << "Resize Failed | Failed to resize window.";
        QTest::newRow("preset no window") << "800\u00D7600 - Compact" << "noWindow"
                                          << "Resize Failed | No active window found.";
        QTest::newRow("snap refused") << "Left Half" << "position" << "Snap Failed | Failed to snap window to position.";
        QTest::newRow("snap no app") << "Top Half" << "noApp" << "Snap Failed | No active window found.";
    }

    void applyingShowsOnlyFailures()
    {
        QFETCH(QString, item);
        QFETCH(QString, failure);
        QFETCH(QString, alert);
        Fixture f;
        if (failure == "size" || failure == "position")
            f.windows.writeError = PlatformError::refused;
        if (failure == "noWindow")
            f.windows.focusError = PlatformError::noFocusedWindow;
        if (failure == "noApp")
            f.windows.focusError = PlatformError::noFrontmostApplication;
        MenuBarManager manager(f.presets, f.positions, f.windows);
        AlertCatcher catcher;
        f.windows.calls.clear();
        findAction(manager.menu(), item)->trigger();

        QCOMPARE(catcher.alerts, alert.isEmpty() ? QStringList{} : QStringList{alert});
        if (!alert.isEmpty()) {
            QCOMPARE(catcher.buttons, QList<qsizetype>{1});
            QCOMPARE(catcher.icons, QList<QMessageBox::Icon>{QMessageBox::Warning});
        }
        if (failure.isEmpty()) {
            const QString expected = item.startsWith("1440") ? "size 1440x875" : "frame 960,25 480x875";
            QVERIFY2(f.windows.calls.contains(expected), qPrintable(f.windows.calls.join(u',')));
        }
    }

    void missingPermissionPromptsAndExplains()
    {
        Fixture f;
        f.windows.trusted = false;
        MenuBarManager manager(f.presets, f.positions, f.windows);
        const QString permission = "Accessibility Permission Required | Please grant Accessibility permission in "
                                   "System Settings > Privacy & Security > Accessibility, then try again.";
        for (const char* item : {"1200\u00D7800 - Web Demo", "Center Third"}) {
            AlertCatcher catcher;
            f.windows.calls.clear();
            findAction(manager.menu(), QString::fromUtf8(item))->trigger();
            QCOMPARE(f.windows.calls, (QStringList{"trusted", "trusted prompt"}));
            QCOMPARE(catcher.alerts, QStringList{permission});
        }

        f.windows.calls.clear();
        findAction(manager.menu(), "Grant Accessibility Permission...")->trigger();
        QCOMPARE(f.windows.calls, QStringList{"trusted prompt"});
        QCOMPARE(menuLines(manager.menu()).first(), QStringLiteral("Grant Accessibility Permission..."));

        f.windows.trusted = true;
        manager.rebuildMenu();
        QCOMPARE(menuLines(manager.menu()).first(), QStringLiteral("1200\u00D7800 - Web Demo"));
    }

    void itemsCarryTheirValueAsBuilt()
    {
        Fixture f;
        const WindowPreset phone = *f.presets.addPreset(QStringLiteral("Phone"), 390, 844);
        MenuBarManager manager(f.presets, f.positions, f.windows);
        QAction* item = findAction(manager.menu(), "390\u00D7844 - Phone");
        QVERIFY(item);
        // The store forgets the preset; the item still applies what it showed.
        QVERIFY(f.presets.deletePreset(phone.id).has_value());
        f.windows.calls.clear();
        item->trigger();
        QVERIFY(f.windows.calls.contains("size 390x844"));

        // An item without a value, or with the other kind of value, does nothing.
        QAction bare(QStringLiteral("bare"));
        QAction wrong(QStringLiteral("wrong"));
        wrong.setData(QVariant::fromValue(SnapPosition(SnapPosition::leftHalf)));
        QAction wrongPreset(QStringLiteral("wrong preset"));
        wrongPreset.setData(QVariant::fromValue(phone));
        f.windows.calls.clear();
        manager.applyPreset(&bare);
        manager.applyPreset(&wrong);
        manager.applySnapPosition(&bare);
        manager.applySnapPosition(&wrongPreset);
        manager.applyPreset(nullptr);
        QCOMPARE(f.windows.calls, QStringList{});
    }

    void callbacksAndRebuildsReplaceTheMenu()
    {
        Fixture f;
        MenuBarManager manager(f.presets, f.positions, f.windows);
        findAction(manager.menu(), "Settings...")->trigger(); // no callback yet: nothing happens
        int settings = 0;
        int about = 0;
        manager.onSettingsRequested = [&] { ++settings; };
        manager.onAboutRequested = [&] { ++about; };
        findAction(manager.menu(), "Settings...")->trigger();
        findAction(manager.menu(), "About Ventrel")->trigger();
        QCOMPARE(settings, 1);
        QCOMPARE(about, 1);

        QPointer<QMenu> before = manager.menu();
        QVERIFY(f.presets.addPreset(QStringLiteral("Wide"), 2000, 500).has_value());
        QVERIFY(!menuLines(before).join(u',').contains("Wide")); // an installed menu is never modified
        manager.rebuildMenu();
        QVERIFY(manager.menu() != before.data());
        QCOMPARE(manager.statusItem()->contextMenu(), manager.menu());
        QVERIFY(menuLines(manager.menu()).contains("2000\u00D7500 - Wide"));
        QTRY_VERIFY(before.isNull()); // the old menu is released once it is off screen
    }
};

QTEST_MAIN(TestMenuBarManager)
#include "tst_menubarmanager.moc"
