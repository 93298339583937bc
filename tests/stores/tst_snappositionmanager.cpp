#include "MemoryDefaultsDatabase.h"
#include "SettingsFile.h"
#include "stores/SettingsDefaultsDatabase.h"
#include "stores/SnapPositionManager.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Visibility = SnapPositionManager::PositionVisibility;

QList<SnapPosition> allExcept(const QList<SnapPosition>& hidden)
{
    QList<SnapPosition> list;
    for (SnapPosition p : SnapPosition::allCases()) {
        if (!hidden.contains(p))
            list.append(p);
    }
    return list;
}

QList<Visibility> pairsHiding(const QList<SnapPosition>& hidden)
{
    QList<Visibility> list;
    for (SnapPosition p : SnapPosition::allCases())
        list.append({p, !hidden.contains(p)});
    return list;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

class TestSnapPositionManager : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_paths = 0;

    QString freshPath() { return m_dir.filePath(QStringLiteral("run%1/Ventrel.conf").arg(++m_paths)); }

private slots:
    void firstStartShowsEverythingAndWritesNothing()
    {
        const QString path = freshPath();
        SnapPositionManager store(std::make_shared<SettingsDefaultsDatabase>(path));
        QCOMPARE(store.visiblePositions(), allExcept({}));
        QCOMPARE(store.allPositionsWithVisibility(), pairsHiding({}));
        QVERIFY(!QFileInfo::exists(path));
    }

    void togglingWritesTheHiddenSetToTheFile()
    {
        const QString path = freshPath();
        SnapPositionManager store(std::make_shared<SettingsDefaultsDatabase>(path));
        store.togglePositionVisibility(SnapPosition::topHalf);
        QCOMPARE(store.visiblePositions(), allExcept({SnapPosition::topHalf}));
        QCOMPARE(store.allPositionsWithVisibility().at(5), (Visibility{SnapPosition::topHalf, false}));
        QCOMPARE(store.allPositionsWithVisibility(), pairsHiding({SnapPosition::topHalf}));
        const QString once = SettingsFile::copyForRestart(path, freshPath());
        QCOMPARE(SettingsDefaultsDatabase(once).stringList(SnapPositionManager::hiddenPositionsKey),
                 std::optional<QStringList>(QStringList{"topHalf"}));
        QCOMPARE(SnapPositionManager(std::make_shared<SettingsDefaultsDatabase>(once)).visiblePositions(),
                 store.visiblePositions());

        store.togglePositionVisibility(SnapPosition::topHalf);
        QCOMPARE(store.visiblePositions(), allExcept({}));
        // Showing everything again keeps the entry, as an empty list.
        QCOMPARE(SettingsDefaultsDatabase(SettingsFile::copyForRestart(path, freshPath()))
                     .stringList(SnapPositionManager::hiddenPositionsKey),
                 std::optional<QStringList>(QStringList()));
    }

    void storedValues_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QList<SnapPosition>>("hidden");
        QTest::newRow("two, any order") << QVariant(QStringList{"rightThird", "leftHalf"})
                                        << QList<SnapPosition>{SnapPosition::leftHalf, SnapPosition::rightThird};
        QTest::newRow("two, other order") << QVariant(QStringList{"leftHalf", "rightThird"})
                                          << QList<SnapPosition>{SnapPosition::leftHalf, SnapPosition::rightThird};
        QTest::newRow("duplicates and unknown names")
            << QVariant(QStringList{"topHalf", "diagonal", "topHalf", "TopHalf", ""})
            << QList<SnapPosition>{SnapPosition::topHalf};
        QStringList all;
        for (SnapPosition p : SnapPosition::allCases())
            all.append(p.rawValue());
        QTest::newRow("all seven") << QVariant(all) << allExcept({});
        QTest::newRow("empty list") << QVariant(QStringList()) << QList<SnapPosition>{};
        QTest::newRow("single string") << QVariant(QString("topHalf")) << QList<SnapPosition>{};
        QTest::newRow("data") << QVariant(QByteArray("[\"topHalf\"]")) << QList<SnapPosition>{};
        QTest::newRow("a number") << QVariant(7) << QList<SnapPosition>{};
        QTest::newRow("list of numbers") << QVariant(QVariantList{1, 2}) << QList<SnapPosition>{};
        QTest::newRow("10 MB element") << QVariant(QStringList{QString(10 * 1024 * 1024, 'x'), "bottomHalf"})
                                       << QList<SnapPosition>{SnapPosition::bottomHalf};
    }
    void storedValues()
    {
        QFETCH(QVariant, stored);
        QFETCH(QList<SnapPosition>, hidden);
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(SnapPositionManager::hiddenPositionsKey, stored);
        SnapPositionManager store(db);
        QCOMPARE(store.visiblePositions(), allExcept(hidden));
        QCOMPARE(store.allPositionsWithVisibility(), pairsHiding(hidden));
        QCOMPARE(db->writes, 0);
    }

    // Strings that name no position stay with the set and are written back, once.
    void unknownNamesSurviveASave()
    {
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(SnapPositionManager::hiddenPositionsKey, QStringList{"topHalf", "diagonal", "topHalf"});
        SnapPositionManager store(db);
        store.togglePositionVisibility(SnapPosition::leftThird);
        QCOMPARE(sorted(*db->stringList(SnapPositionManager::hiddenPositionsKey)),
                 (QStringList{"diagonal", "leftThird", "topHalf"}));
        QCOMPARE(store.hiddenPositions(), (QSet<QString>{"diagonal", "leftThird", "topHalf"}));
    }

    void aStringWrittenByHandHidesNothingAndIsReplaced()
    {
        const QString path = freshPath();
        QVERIFY(SettingsFile::write(path, "[General]\nhiddenSnapPositions=topHalf\n"));
        SnapPositionManager store(std::make_shared<SettingsDefaultsDatabase>(path));
        QCOMPARE(store.visiblePositions(), allExcept({}));
        store.togglePositionVisibility(SnapPosition::centerThird);
        const QString restart = SettingsFile::copyForRestart(path, freshPath());
        QCOMPARE(SettingsDefaultsDatabase(restart).stringList(SnapPositionManager::hiddenPositionsKey),
                 std::optional<QStringList>(QStringList{"centerThird"}));
        QVERIFY(!SettingsFile::read(restart).contains("hiddenSnapPositions=topHalf"));
    }

    void hidingAllSevenLeavesNothingVisible()
    {
        SnapPositionManager store(std::make_shared<MemoryDefaultsDatabase>());
        for (SnapPosition p : SnapPosition::allCases())
            store.togglePositionVisibility(p);
        QVERIFY(store.visiblePositions().isEmpty());
        QCOMPARE(store.allPositionsWithVisibility(), pairsHiding(allExcept({})));
    }

    void resetStoresAnEmptyList()
    {
        const QString path = freshPath();
        auto db = std::make_shared<SettingsDefaultsDatabase>(path);
        db->setStringList(SnapPositionManager::hiddenPositionsKey, {"leftHalf", "diagonal"});
        SnapPositionManager store(db);
        QCOMPARE(store.visiblePositions(), allExcept({SnapPosition::leftHalf}));
        QSignalSpy spy(&store, &SnapPositionManager::objectWillChange);
        store.resetToDefaults();
        QCOMPARE(spy.count(), 3);
        QCOMPARE(store.visiblePositions(), allExcept({}));
        QVERIFY(store.hiddenPositions().isEmpty());
        QCOMPARE(SettingsDefaultsDatabase(SettingsFile::copyForRestart(path, freshPath()))
                     .stringList(SnapPositionManager::hiddenPositionsKey),
                 std::optional<QStringList>(QStringList()));
    }

    // Each recomputation announces both lists, in order, before changing them.
    void notificationsComeBeforeEachList()
    {
        SnapPositionManager store(std::make_shared<MemoryDefaultsDatabase>());
        QList<qsizetype> visibleSeen;
        QList<bool> leftHalfShownSeen;
        connect(&store, &SnapPositionManager::objectWillChange, this, [&] {
            visibleSeen.append(store.visiblePositions().size());
            leftHalfShownSeen.append(store.allPositionsWithVisibility().first().isVisible);
        });
        store.togglePositionVisibility(SnapPosition::leftHalf);
        QCOMPARE(visibleSeen, (QList<qsizetype>{7, 6}));
        QCOMPARE(leftHalfShownSeen, (QList<bool>{true, true}));
        QCOMPARE(store.allPositionsWithVisibility().first().isVisible, false);

        store.updatePositions();
        QCOMPARE(visibleSeen.size(), 4); // two more, though nothing changed
        const int before = int(visibleSeen.size());
        store.saveHiddenPositions();
        QCOMPARE(visibleSeen.size(), before);
    }

    void sharedInstanceReadsTheStandardDatabase()
    {
        if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
            QSKIP("run through ctest, which gives each test its own configuration folder");
        DefaultsDatabase::standard()->setStringList(SnapPositionManager::hiddenPositionsKey, {"rightHalf"});
        SnapPositionManager& shared = SnapPositionManager::shared();
        QCOMPARE(&SnapPositionManager::shared(), &shared);
        QCOMPARE(shared.visiblePositions(), allExcept({SnapPosition::rightHalf}));
        shared.resetToDefaults();
        QCOMPARE(DefaultsDatabase::standard()->stringList(SnapPositionManager::hiddenPositionsKey),
                 std::optional<QStringList>(QStringList()));
    }
};

QTEST_GUILESS_MAIN(TestSnapPositionManager)
#include "tst_snappositionmanager.moc"
