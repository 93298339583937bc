#include "app/AppDelegate.h"
#include "menubar/MenuBarManager.h"
#include "menubar/MenuProbe.h"
#include "stores/PresetManager.h"
#include "stores/SnapPositionManager.h"
#include "window/FakeWindowSystem.h"

#include <QActionEvent>
#include <QDir>
#include <QTest>

// Counts the menu's rebuilds: each adds a new quit item.
struct RebuildCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ActionAdded && static_cast<QActionEvent*>(event)->action()->text() == "Quit Ventrel")
            ++count;
        return false;
    }
};

// Works on the shared stores, as the program does, over the private settings
// directory the test runner gives this test.
class TestAppDelegate : public QObject {
    Q_OBJECT

    FakeWindowSystem m_windows;
    std::unique_ptr<AppDelegate> m_delegate;

    QStringList presetLines() const
    {
        QStringList lines = menuLines(m_delegate->menuBarManager()->menu());
        return lines.mid(0, lines.indexOf(QStringLiteral("---")));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"));
        QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).removeRecursively();
        QApplication::setQuitOnLastWindowClosed(false);
        m_delegate = std::make_unique<AppDelegate>(m_windows);
        m_delegate->applicationDidFinishLaunching();
        QVERIFY(!m_delegate->settingsWindow() && !m_delegate->aboutWindow()); // no window at start
    }

    // Each store's changes reach the menu on a later turn, where the rebuild
    // sees the new state; the order and content rules are the menu's own test.
    void menuFollowsBothStores()
    {
        PresetManager& presets = PresetManager::shared();
        QVERIFY(presets.addPreset(QStringLiteral("Tall"), 600, 1200));
        QCOMPARE(presetLines().size(), 5);
        QTRY_COMPARE(presetLines().last(), QStringLiteral("600\u00D71200 - Tall"));

        SnapPositionManager::shared().togglePositionVisibility(SnapPosition::leftHalf);
        QTRY_VERIFY(!findAction(m_delegate->menuBarManager()->menu(), QStringLiteral("Left Half")));

        // A drag renumbers every preset, one notice each; the menu is rebuilt once.
        RebuildCounter rebuilds;
        m_delegate->menuBarManager()->menu()->installEventFilter(&rebuilds);
        QList<QUuid> dragged;
        for (const WindowPreset& p : presets.presets())
            dragged.prepend(p.id);
        presets.reorderPresets(dragged);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(rebuilds.count, 1);
        QCOMPARE(presetLines().first(), QStringLiteral("600\u00D71200 - Tall"));
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
