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
    // Untrusted, with more presets than there are number keys.
    void menuStructure()
    {
        Fixture f;
        f.showPresets(12);
        f.windows.trusted = false;
        MenuBarManager manager(f.presets, f.positions, f.windows);

        const QList<QAction*> actions = manager.menu()->actions();
        QStringList expected{"Grant Accessibility Permission...", "---"};
        const QList<WindowPreset> visible = f.presets.visiblePresets();
        for (const WindowPreset& p : visible)
            expected << QStringLiteral("%1\u00D7%2 - %3").arg(p.width).arg(p.height).arg(p.name);
        QCOMPARE(menuLines(manager.menu()), expected << tail);
        for (int i = 0; i < visible.size(); ++i) {
            QCOMPARE(actions.at(2 + i)->shortcut(), i < 9 ? QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)) : QKeySequence());
            QCOMPARE(actions.at(2 + i)->data().value<WindowPreset>(), visible.at(i));
        }

        f.windows.calls.clear();
        actions.first()->trigger();
        QCOMPARE(f.windows.calls, QStringList{"trusted prompt"});
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

    // Without the permission an item asks for it, and says so, before anything else can fail.
    void failuresAreAlerted_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<QString>("alert");
        const QString permission = "Accessibility Permission Required | Please grant Accessibility permission in "
                                   "System Settings > Privacy & Security > Accessibility, then try again.";
        QTest::newRow("preset") << "1440\u00D7900 - Desktop App" << true << "Resize Failed | Failed to resize window.";
        QTest::newRow("snap") << "Left Half" << true << "Snap Failed | Failed to snap window to position.";
        QTest::newRow("preset, untrusted") << "1200\u00D7800 - Web Demo" << false << permission;
        QTest::newRow("snap, untrusted") << "Center Third" << false << permission;
    }

    void failuresAreAlerted()
    {
        QFETCH(QString, item);
        QFETCH(bool, trusted);
        Fixture f;
        f.windows.writeError = PlatformError::refused;
        f.windows.trusted = trusted;
        MenuBarManager manager(f.presets, f.positions, f.windows);
        AlertCatcher catcher;
        findAction(manager.menu(), item)->trigger();
        QTEST(catcher.alerts.join(u','), "alert");
        QCOMPARE(f.windows.calls.filter("prompt"), trusted ? QStringList() : QStringList{"trusted prompt"});
    }

    // The one menu the tray shows is refilled; the old items go later.
    void rebuildsInPlace()
    {
        Fixture f;
        MenuBarManager manager(f.presets, f.positions, f.windows);
        QMenu* menu = manager.menu();
        QPointer<QAction> old = findAction(menu, "Quit Ventrel");
        QVERIFY(f.presets.addPreset(QStringLiteral("Wide"), 2000, 500).has_value());
        manager.rebuildMenu();
        QVERIFY(manager.menu() == menu && manager.statusItem()->contextMenu() == menu);
        QCOMPARE(menuLines(menu).count("Quit Ventrel"), 1);
        QTRY_VERIFY(old.isNull());
        // The store forgets the preset; its item still applies what it showed, without an alert.
        QAction* wide = findAction(menu, "2000\u00D7500 - Wide");
        QVERIFY(wide && f.presets.deletePreset(wide->data().value<WindowPreset>().id));
        AlertCatcher catcher;
        wide->trigger();
        QVERIFY(f.windows.calls.contains("size 1440x500") && catcher.alerts.isEmpty());
    }
};

QTEST_MAIN(TestMenuBarManager)
#include "tst_menubarmanager.moc"
