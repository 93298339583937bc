#include "MemoryDefaultsDatabase.h"
#include "stores/SettingsKeys.h"
#include "stores/SnapPositionManager.h"

#include <QSignalSpy>
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
    void storedValues_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("any order") << QVariant(QStringList{"rightThird", "leftHalf"}) << "-+++-++";
        QTest::newRow("duplicates, unknown names") << QVariant(QStringList{"topHalf", "x", "topHalf", "TopHalf", ""})
                                                   << "+++++-+";
    }
    void storedValues()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, expected);
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(key, stored);
        QCOMPARE(shown(SnapPositionManager(db)), expected);
        QCOMPARE(db->writes, 0);
    }

    // Names of no position are kept and written back until a reset. Each
    // recomputation announces both lists, in turn, before changing them.
    void unknownNamesAndNotifications()
    {
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(key, QStringList{"topHalf", "diagonal"});
        SnapPositionManager store(db);
        QStringList seen;
        connect(&store, &SnapPositionManager::objectWillChange, this, [&] { seen << shown(store); });
        store.togglePositionVisibility(SnapPosition::leftHalf);
        QCOMPARE(seen, (QStringList{"+++++-+", "the lists disagree"}));
        QStringList stored = db->stringList(key).value_or(QStringList());
        stored.sort();
        QCOMPARE(stored, (QStringList{"diagonal", "leftHalf", "topHalf"}));
        store.saveHiddenPositions();
        store.resetToDefaults();
        QCOMPARE(seen.mid(2), (QStringList{"-++++-+", "the lists disagree", "+++++++"}));
        QCOMPARE(db->stringList(key), std::optional(QStringList()));
    }

    void screenChoiceIsStoredAndReset()
    {
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(SettingsKeys::screenChoice, QByteArray("sideways"));
        SnapPositionManager store(db);
        QCOMPARE(store.screenChoice(), ScreenChoice::main);
        QSignalSpy changes(&store, &SnapPositionManager::objectWillChange);
        store.setScreenChoice(ScreenChoice::window);
        store.setScreenChoice(ScreenChoice::window);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(SnapPositionManager(db).screenChoice(), ScreenChoice::window);
        store.resetToDefaults();
        QCOMPARE(store.screenChoice(), ScreenChoice::main);
        QVERIFY(!db->data(SettingsKeys::screenChoice));
    }
};

QTEST_GUILESS_MAIN(TestSnapPositionManager)
#include "tst_snappositionmanager.moc"
