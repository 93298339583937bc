#include "MemoryDefaultsDatabase.h"
#include "stores/SettingsKeys.h"
#include "stores/SnapPositionManager.h"

#include <QTest>

namespace {

const QString key = SettingsKeys::hiddenSnapPositions;

// Visibility in menu order (leftHalf, rightHalf, leftThird, centerThird,
// rightThird, topHalf, bottomHalf), "+" shown and "-" hidden, once both lists agree.
QString shown(const SnapPositionManager& store)
{
    QString flags;
    QList<SnapPosition> visible;
    for (const auto& [position, isVisible] : store.allPositionsWithVisibility()) {
        flags += isVisible ? '+' : '-';
        if (isVisible)
            visible << position;
    }
    return visible == store.visiblePositions() ? flags : "the lists disagree";
}

} // namespace

class TestSnapPositionManager : public QObject {
    Q_OBJECT

private slots:
    // Names of no position are kept and written back until a reset, once each;
    // so is the screen choice, which a name of no choice leaves on the main
    // screen. Reading writes nothing. Each recomputation announces both
    // lists, in turn, before changing them.
    void storedStateAndNotifications()
    {
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(key, QStringList{"topHalf", "diagonal", "TopHalf", "topHalf"});
        db->values.insert(SettingsKeys::screenChoice, QByteArray("sideways"));
        SnapPositionManager store(db);
        QVERIFY(store.screenChoice() == ScreenChoice::main && db->writes == 0);
        QStringList seen;
        connect(&store, &SnapPositionManager::objectWillChange, this, [&] { seen << shown(store); });
        store.togglePositionVisibility(SnapPosition::leftHalf);
        QCOMPARE(seen, (QStringList{"+++++-+", "the lists disagree"}));
        QStringList stored = db->stringList(key).value_or(QStringList());
        stored.sort();
        QCOMPARE(stored, (QStringList{"TopHalf", "diagonal", "leftHalf", "topHalf"}));
        store.setScreenChoice(ScreenChoice::window);
        store.setScreenChoice(ScreenChoice::window);
        QCOMPARE(SnapPositionManager(db).screenChoice(), ScreenChoice::window);
        store.saveHiddenPositions();
        store.resetToDefaults();
        // One notice for the choice, one for the reset's, then the lists'.
        QCOMPARE(seen.mid(2), (QStringList{"-++++-+", "-++++-+", "-++++-+", "the lists disagree", "+++++++"}));
        QCOMPARE(db->stringList(key), std::optional(QStringList()));
        QVERIFY(store.screenChoice() == ScreenChoice::main && !db->data(SettingsKeys::screenChoice));
    }
};

QTEST_GUILESS_MAIN(TestSnapPositionManager)
#include "tst_snappositionmanager.moc"
