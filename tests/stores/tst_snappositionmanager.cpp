#include "MemoryDefaultsDatabase.h"
#include "SettingsFile.h"
#include "stores/SettingsDefaultsDatabase.h"
#include "stores/SnapPositionManager.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString key = SnapPositionManager::hiddenPositionsKey;

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

    SettingsFiles m_files;

private slots:
    void storedValues_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("any order") << QVariant(QStringList{"rightThird", "leftHalf"}) << "-+++-++";
        QTest::newRow("duplicates, unknown names") << QVariant(QStringList{"topHalf", "x", "topHalf", "TopHalf", ""})
                                                   << "+++++-+";
        QTest::newRow("not a list") << QVariant(QString("topHalf")) << "+++++++";
        QTest::newRow("10 MB element") << QVariant(QStringList{QString(10 * 1024 * 1024, 'x'), "bottomHalf"}) << "++++++-";
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

    // A string written by hand is no list and hides nothing; the first toggle
    // replaces it with one, and showing everything again leaves an empty list.
    void togglingWritesTheHiddenSetToTheFile()
    {
        const QString path = m_files.fresh();
        QVERIFY(SettingsFiles::write(path, "[General]\nhiddenSnapPositions=topHalf\n"));
        SnapPositionManager store(std::make_shared<SettingsDefaultsDatabase>(path));
        QCOMPARE(shown(store), "+++++++");
        store.togglePositionVisibility(SnapPosition::centerThird);
        const QString restarted = m_files.restart(path);
        QCOMPARE(SettingsDefaultsDatabase(restarted).stringList(key), std::optional(QStringList{"centerThird"}));
        QCOMPARE(shown(SnapPositionManager(std::make_shared<SettingsDefaultsDatabase>(restarted))), "+++-+++");
        store.togglePositionVisibility(SnapPosition::centerThird);
        QCOMPARE(SettingsDefaultsDatabase(m_files.restart(path)).stringList(key), std::optional(QStringList()));
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
};

QTEST_GUILESS_MAIN(TestSnapPositionManager)
#include "tst_snappositionmanager.moc"
