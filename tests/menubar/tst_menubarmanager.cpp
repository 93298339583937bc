#include "menubar/MenuBarManager.h"
#include "menubar/MenuProbe.h"
#include "stores/MemoryDefaultsDatabase.h"
#include "stores/PresetManager.h"
#include "stores/SnapPositionManager.h"
#include "window/FakeWindowSystem.h"

#include <QAccessible>
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
        QTest::newRow("3 presets, trusted") << 3 << true;
        QTest::newRow("12 presets, untrusted") << 12 << false;
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

    // What the menu draws, top to bottom: the text of each item, "---" for a
    // separator that is drawn as a line. Qt folds a leading separator and
    // repeated ones unless told not to.
    void separatorsAreDrawn_data()
    {
        QTest::addColumn<bool>("presetsShown");
        QTest::addColumn<bool>("positionsShown");
        QTest::addColumn<QStringList>("drawn");
        QTest::newRow("no preset: a separator on top")
            << false << true << QStringList{"---", "Snap Position", "---", "Settings...", "About Ventrel", "---", "Quit Ventrel"};
        QTest::newRow("no position: two in a row")
            << true << false << QStringList{"---", "---", "Settings...", "About Ventrel", "---", "Quit Ventrel"};
    }
    void separatorsAreDrawn()
    {
        QFETCH(bool, presetsShown);
        QFETCH(bool, positionsShown);
        QFETCH(QStringList, drawn);
        Fixture f;
        f.showPresets(presetsShown ? 1 : 0);
        for (SnapPosition p : SnapPosition::allCases()) {
            if (!positionsShown)
                f.positions.togglePositionVisibility(p);
        }
        MenuBarManager manager(f.presets, f.positions, f.windows);
        QMenu* menu = manager.menu();
        menu->popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        const QImage image = menu->grab().toImage();
        QStringList lines;
        for (QAction* action : menu->actions()) {
            const QRect rect = menu->actionGeometry(action);
            if (rect.isEmpty())
                continue; // folded away: not drawn
            if (!action->isSeparator()) {
                lines << action->text();
                continue;
            }
            QSet<QRgb> colours;
            for (int x = rect.left(); x <= rect.right(); ++x) {
                for (int y = rect.top(); y <= rect.bottom(); ++y)
                    colours.insert(image.pixel(x, y));
            }
            lines << (colours.size() > 1 ? "---" : "blank");
        }
        if (presetsShown)
            QCOMPARE(lines.takeFirst(), MenuBarManager::presetTitle(f.presets.visiblePresets().first()));
        QCOMPARE(lines, drawn);
        menu->hide();
    }

    // The permission is granted while the tray app runs: the very next opening
    // of the menu, through the tray icon, no longer offers to request it.
    void openingShowsTheStateOfNow()
    {
        Fixture f;
        f.windows.trusted = false;
        MenuBarManager manager(f.presets, f.positions, f.windows);
        QCOMPARE(menuLines(manager.menu()).first(), "Grant Accessibility Permission...");
        f.windows.trusted = true;
        QVERIFY(f.presets.addPreset("Wide", 2000, 500));
        emit manager.statusItem()->activated(QSystemTrayIcon::Trigger);
        QMenu* menu = manager.statusItem()->contextMenu();
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        // The items as a screen reader finds them on screen.
        QStringList onScreen;
        QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(menu);
        for (int i = 0; i < shown->childCount(); ++i) {
            QAccessibleInterface* item = shown->child(i);
            if (!item->rect().isEmpty() && item->role() != QAccessible::Separator)
                onScreen << item->text(QAccessible::Name);
        }
        QCOMPARE(onScreen.first(), "1200\u00D7800 - Web Demo");
        QVERIFY(!onScreen.contains("Grant Accessibility Permission..."));
        QVERIFY(onScreen.contains("2000\u00D7500 - Wide"));
        menu->hide();
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
        QTest::newRow("snap refused") << "Left Half" << "position" << "Snap Failed | Failed to snap window to position.";
    }

    void applyingShowsOnlyFailures()
    {
        QFETCH(QString, item);
        QFETCH(QString, failure);
        QFETCH(QString, alert);
        Fixture f;
        if (!failure.isEmpty())
            f.windows.writeError = PlatformError::refused;
        MenuBarManager manager(f.presets, f.positions, f.windows);
        AlertCatcher catcher;
        f.windows.calls.clear();
        findAction(manager.menu(), item)->trigger();

        QCOMPARE(catcher.alerts, alert.isEmpty() ? QStringList{} : QStringList{alert});
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
    }

    void callbacksAndRebuildsInPlace()
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
        QCOMPARE(std::pair(settings, about), std::pair(1, 1));

        // The one menu the tray shows is refilled; the old items go later.
        QMenu* menu = manager.menu();
        QPointer<QAction> old = findAction(menu, "Quit Ventrel");
        QVERIFY(f.presets.addPreset(QStringLiteral("Wide"), 2000, 500).has_value());
        manager.rebuildMenu();
        QVERIFY(manager.menu() == menu && manager.statusItem()->contextMenu() == menu);
        QVERIFY(menuLines(menu).contains("2000\u00D7500 - Wide"));
        QCOMPARE(menuLines(menu).count("Quit Ventrel"), 1);
        QTRY_VERIFY(old.isNull());
    }
};

QTEST_MAIN(TestMenuBarManager)
#include "tst_menubarmanager.moc"
