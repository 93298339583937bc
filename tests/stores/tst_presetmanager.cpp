#include "MemoryDefaultsDatabase.h"
#include "PresetFixtures.h"
#include "stores/PresetManager.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

using namespace PresetFixtures;

namespace {

QList<qint64> sortOrders(const QList<WindowPreset>& presets)
{
    QList<qint64> orders;
    for (const WindowPreset& p : presets)
        orders.append(p.sortOrder);
    return orders;
}

QStringList names(const QList<WindowPreset>& presets)
{
    QStringList list;
    for (const WindowPreset& p : presets)
        list.append(p.name);
    return list;
}

} // namespace

Q_DECLARE_METATYPE(std::optional<PresetError>)

class TestPresetManager : public QObject {
    Q_OBJECT

private slots:
    void firstStartHasTheBuiltinPresetsAndWritesNothing()
    {
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        PresetManager store(db);
        QCOMPARE(store.presets(), WindowPreset::defaultPresets());
        QCOMPARE(store.visiblePresets(), WindowPreset::defaultPresets());
        QCOMPARE(sortOrders(store.visiblePresets()), (QList<qint64>{0, 1, 2, 3, 4}));
        QCOMPARE(db->writes, 0);
    }

    void errorTexts()
    {
        QCOMPARE(errorDescription(PresetError::invalidDimensions),
                 "Width and height must be between 100 and 10000 pixels.");
        QCOMPARE(errorDescription(PresetError::nameTooShort), "Preset name must be at least 1 character.");
        QCOMPARE(errorDescription(PresetError::nameAlreadyExists), "A preset with this name already exists.");
        QCOMPARE(errorDescription(PresetError::cannotDeleteDefault), "Cannot delete default presets.");
    }

    // Over a store where "Full HD" is hidden and two custom presets exist,
    // one stored with surrounding spaces and one with a precomposed accent.
    void addPresetChecks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("width");
        QTest::addColumn<qint64>("height");
        QTest::addColumn<std::optional<PresetError>>("error");
        QTest::addColumn<QString>("storedName");
        const auto ok = std::optional<PresetError>();
        const auto dims = std::optional(PresetError::invalidDimensions);
        const auto shortName = std::optional(PresetError::nameTooShort);
        const auto exists = std::optional(PresetError::nameAlreadyExists);
        constexpr qint64 lowest = std::numeric_limits<qint64>::min();
        constexpr qint64 highest = std::numeric_limits<qint64>::max();

        QTest::newRow("both bounds accepted") << "Tall" << qint64(100) << qint64(10000) << ok << "Tall";
        QTest::newRow("other bounds accepted") << "Wide" << qint64(10000) << qint64(100) << ok << "Wide";
        QTest::newRow("width 99 before empty name") << "" << qint64(99) << qint64(500) << dims << "";
        QTest::newRow("height 10001 before empty name") << "" << qint64(500) << qint64(10001) << dims << "";
        QTest::newRow("width 10001") << "X" << qint64(10001) << qint64(500) << dims << "";
        QTest::newRow("height 99") << "X" << qint64(500) << qint64(99) << dims << "";
        QTest::newRow("dimensions before duplicate name") << "Full HD" << qint64(0) << qint64(0) << dims << "";
        QTest::newRow("extremes") << "X" << lowest << highest << dims << "";
        QTest::newRow("empty") << "" << qint64(500) << qint64(500) << shortName << "";
        QTest::newRow("ascii blanks") << " \t\n\r\v\f " << qint64(500) << qint64(500) << shortName << "";
        QTest::newRow("unicode blanks") << QString::fromUtf16(u"\u0085\u00A0\u1680\u2000\u2028\u2029\u202F\u3000")
                                        << qint64(500) << qint64(500) << shortName << "";
        QTest::newRow("hidden builtin, lower case") << "full hd" << qint64(500) << qint64(500) << exists << "";
        QTest::newRow("builtin, spaces around") << "  Full HD  " << qint64(500) << qint64(500) << exists << "";
        QTest::newRow("builtin, upper case") << "COMPACT\n" << qint64(500) << qint64(500) << exists << "";
        QTest::newRow("custom, decomposed accent")
            << QString::fromUtf16(u"CAFE\u0301") << qint64(500) << qint64(500) << exists << "";
        QTest::newRow("stored names are not trimmed") << "Spaced" << qint64(500) << qint64(500) << ok << "Spaced";
        QTest::newRow("trimmed on both sides")
            << QString::fromUtf16(u"\u2029\tPhone \u3000") << qint64(390) << qint64(844) << ok << "Phone";
        QTest::newRow("zero width space is no blank")
            << QString::fromUtf16(u"\u200BFull HD") << qint64(500) << qint64(500) << ok
            << QString::fromUtf16(u"\u200BFull HD");
        QTest::newRow("lower-casing is not case folding")
            << QString::fromUtf16(u"Stra\u00DFe") << qint64(500) << qint64(500) << ok
            << QString::fromUtf16(u"Stra\u00DFe");
        QTest::newRow("information separators are no blanks")
            << QString::fromUtf16(u"\u001CX\u001F") << qint64(500) << qint64(500) << ok
            << QString::fromUtf16(u"\u001CX\u001F");
        QTest::newRow("inner spaces count") << "Full  HD" << qint64(500) << qint64(500) << ok << "Full  HD";
    }
    void addPresetChecks()
    {
        QFETCH(QString, name);
        QFETCH(qint64, width);
        QFETCH(qint64, height);
        QFETCH(std::optional<PresetError>, error);
        QFETCH(QString, storedName);

        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(PresetManager::presetSettingsKey,
                          presetSettingsValue({{WindowPreset::uuidString(builtinId(2)), false, 2}}));
        db->values.insert(PresetManager::customPresetsKey,
                          customPresetsValue({custom(" Spaced ", 5), custom("STRASSE", 6),
                                              custom(QString::fromUtf16(u"Caf\u00E9"), 7)}));
        PresetManager store(db);
        const QList<WindowPreset> before = store.presets();
        const auto result = store.addPreset(name, width, height);

        if (error) {
            QVERIFY(!result);
            QCOMPARE(result.error(), *error);
            QCOMPARE(store.presets(), before);
            QCOMPARE(db->writes, 0);
            return;
        }
        QVERIFY(result);
        QCOMPARE(result->name, storedName);
        QVERIFY(!result->isDefault && result->isVisible);
        QVERIFY(qAbs(result->createdAt - WindowPreset::now()) < 60);
        QVERIFY(!store.presets().mid(0, before.size()).contains(*result));
        QCOMPARE(result->width, width);
        QCOMPARE(result->height, height);
        QCOMPARE(store.presets().size(), before.size() + 1);
        QCOMPARE(store.presets().last(), *result);
        QCOMPARE(parsedArray(db->data(PresetManager::customPresetsKey)).last().toObject(), result->toJson());
    }

    void newPresetFollowsTheLargestOrder_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QList<WindowPreset>>("customs");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("untouched store") << QByteArray() << QList<WindowPreset>{} << qint64(5);
        QTest::newRow("hidden custom counts") << QByteArray() << QList<WindowPreset>{custom("A", 40, false)}
                                              << qint64(41);
        QTest::newRow("hidden builtin counts")
            << presetSettingsValue({{WindowPreset::uuidString(builtinId(0)), false, 9}}) << QList<WindowPreset>{}
            << qint64(10);
        QTest::newRow("all negative") << presetSettingsValue({{"00000000-0000-0000-0000-000000000001", true, -9},
                                                              {"00000000-0000-0000-0000-000000000002", true, -8},
                                                              {"00000000-0000-0000-0000-000000000003", true, -7},
                                                              {"00000000-0000-0000-0000-000000000004", true, -6},
                                                              {"00000000-0000-0000-0000-000000000005", true, -5}})
                                      << QList<WindowPreset>{} << qint64(-4);
        QTest::newRow("top of the range does not wrap")
            << QByteArray() << QList<WindowPreset>{custom("A", std::numeric_limits<qint64>::max())}
            << std::numeric_limits<qint64>::max();
    }
    void newPresetFollowsTheLargestOrder()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QList<WindowPreset>, customs);
        QFETCH(qint64, expected);
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        if (!settings.isEmpty())
            db->values.insert(PresetManager::presetSettingsKey, settings);
        db->values.insert(PresetManager::customPresetsKey, customPresetsValue(customs));
        PresetManager store(db);
        const auto added = store.addPreset("New", 500, 500);
        QVERIFY(added);
        QCOMPARE(added->sortOrder, expected);
        QCOMPARE(store.visiblePresets().last(), *added);
    }

    void deletePreset_data()
    {
        QTest::addColumn<int>("target"); // index into presets, or -1 for an unknown id
        QTest::addColumn<std::optional<PresetError>>("error");
        QTest::addColumn<QStringList>("remaining");
        const QStringList all{"Web Demo", "Desktop App", "Full HD", "HD Video", "Compact", "A", "B", "C"};
        QTest::newRow("builtin") << 2 << std::optional(PresetError::cannotDeleteDefault) << all;
        QTest::newRow("unknown id") << -1 << std::optional<PresetError>() << all;
        QStringList withoutB = all;
        withoutB.removeAll("B");
        QTest::newRow("custom") << 6 << std::optional<PresetError>() << withoutB;
    }
    void deletePreset()
    {
        QFETCH(int, target);
        QFETCH(std::optional<PresetError>, error);
        QFETCH(QStringList, remaining);
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(PresetManager::customPresetsKey,
                          customPresetsValue({custom("A", 20), custom("B", 10), custom("C", 30)}));
        PresetManager store(db);
        const QUuid id = target < 0 ? QUuid::createUuid() : store.presets().at(target).id;
        const bool changes = target >= 0 && !error;

        QSignalSpy spy(&store, &PresetManager::objectWillChange);
        const auto result = store.deletePreset(id);
        QCOMPARE(result ? std::optional<PresetError>() : std::optional(result.error()), error);
        QCOMPARE(names(store.presets()), remaining);
        QCOMPARE(db->writes, changes ? 2 : 0);
        QCOMPARE(spy.count(), changes ? 2 : 0);
        // Nothing is renumbered.
        QCOMPARE(sortOrders(store.presets()).mid(5), changes ? (QList<qint64>{20, 30}) : (QList<qint64>{20, 10, 30}));
    }

    void togglingUnknownIdDoesNothing()
    {
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        PresetManager store(db);
        QSignalSpy spy(&store, &PresetManager::objectWillChange);
        store.togglePresetVisibility(QUuid::createUuid());
        QCOMPARE(spy.count(), 0);
        QCOMPARE(db->writes, 0);
        QCOMPARE(store.presets(), WindowPreset::defaultPresets());
    }

    void reorder_data()
    {
        // Presets: the five built-in ones (orders 0-4), then A (5) and C (6).
        QTest::addColumn<QStringList>("order"); // names; "X" matches no preset
        QTest::addColumn<QList<qint64>>("expected");
        QTest::addColumn<int>("notifications");
        QTest::newRow("C, A") << QStringList{"C", "A"} << QList<qint64>{0, 1, 2, 3, 4, 1, 0} << 3;
        QTest::newRow("unknown id uses up a place") << QStringList{"X", "A"} << QList<qint64>{0, 1, 2, 3, 4, 1, 6} << 2;
        QTest::newRow("repeated id takes the last place")
            << QStringList{"A", "Full HD", "A"} << QList<qint64>{0, 1, 1, 3, 4, 2, 6} << 4;
        QTest::newRow("empty still saves") << QStringList{} << QList<qint64>{0, 1, 2, 3, 4, 5, 6} << 1;
        QTest::newRow("everything reversed")
            << QStringList{"C", "A", "Compact", "HD Video", "Full HD", "Desktop App", "Web Demo"}
            << QList<qint64>{6, 5, 4, 3, 2, 1, 0} << 8;
    }
    void reorder()
    {
        QFETCH(QStringList, order);
        QFETCH(QList<qint64>, expected);
        QFETCH(int, notifications);
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        PresetManager store(db);
        QVERIFY(store.addPreset("A", 500, 500));
        QVERIFY(store.addPreset("C", 500, 500));
        QList<QUuid> ids;
        for (const QString& name : order) {
            const auto it = std::find_if(store.presets().cbegin(), store.presets().cend(),
                                         [&](const WindowPreset& p) { return p.name == name; });
            ids.append(it == store.presets().cend() ? QUuid::createUuid() : it->id);
        }
        const int writesBefore = db->writes;
        QSignalSpy spy(&store, &PresetManager::objectWillChange);
        store.reorderPresets(ids);
        QCOMPARE(sortOrders(store.presets()), expected);
        QCOMPARE(spy.count(), notifications);
        QCOMPARE(db->writes - writesBefore, 2);
        // Reordering never moves presets within the stored list.
        QCOMPARE(names(store.presets()).mid(5), (QStringList{"A", "C"}));
    }

    void visiblePresetsIsAStableSortBySortOrder()
    {
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(PresetManager::presetSettingsKey,
                          presetSettingsValue({{"00000000-0000-0000-0000-000000000001", true, 3},
                                               {"00000000-0000-0000-0000-000000000002", true, 1},
                                               {"00000000-0000-0000-0000-000000000003", false, 0},
                                               {"00000000-0000-0000-0000-000000000004", true, 3},
                                               {"00000000-0000-0000-0000-000000000005", true, 1}}));
        db->values.insert(PresetManager::customPresetsKey,
                          customPresetsValue({custom("Late", 3), custom("Hidden", -1, false), custom("First", -2),
                                              custom("Also late", 3)}));
        PresetManager store(db);
        QCOMPARE(names(store.visiblePresets()),
                 (QStringList{"First", "Desktop App", "Compact", "Web Demo", "HD Video", "Late", "Also late"}));
        // The stored list keeps its own order.
        QCOMPARE(names(store.presets()).first(), "Web Demo");
    }

    // Observers rely on hearing of a change before it happens; the save adds one more.
    void notificationsComeBeforeEachChange()
    {
        PresetManager store(std::make_shared<MemoryDefaultsDatabase>());
        QList<qsizetype> sizesSeen;
        QList<bool> firstVisibleSeen;
        connect(&store, &PresetManager::objectWillChange, this, [&] {
            sizesSeen.append(store.presets().size());
            firstVisibleSeen.append(store.presets().first().isVisible);
        });
        const auto added = store.addPreset("Phone", 390, 844);
        QCOMPARE(sizesSeen, (QList<qsizetype>{5, 6}));
        store.togglePresetVisibility(store.presets().first().id);
        QCOMPARE(firstVisibleSeen.mid(2), (QList<bool>{true, false}));
        QVERIFY(store.deletePreset(added->id));
        QCOMPARE(sizesSeen.mid(4), (QList<qsizetype>{6, 5}));
    }

    void notificationCounts_data()
    {
        QTest::addColumn<std::function<void(PresetManager&)>>("operation");
        QTest::addColumn<int>("expected");
        QTest::newRow("add") << std::function([](PresetManager& s) { (void)s.addPreset("New", 500, 500); }) << 2;
        QTest::newRow("refused add") << std::function([](PresetManager& s) { (void)s.addPreset("", 5, 5); }) << 0;
        QTest::newRow("toggle") << std::function([](PresetManager& s) { s.togglePresetVisibility(builtinId(1)); })
                                << 2;
        QTest::newRow("refused delete") << std::function([](PresetManager& s) { (void)s.deletePreset(builtinId(1)); })
                                        << 0;
        QTest::newRow("save") << std::function([](PresetManager& s) { s.savePresets(); }) << 1;
        QTest::newRow("load") << std::function([](PresetManager& s) { s.loadPresets(); }) << 1;
        QTest::newRow("reset") << std::function([](PresetManager& s) { s.resetToDefaults(); }) << 2;
    }
    void notificationCounts()
    {
        QFETCH(std::function<void(PresetManager&)>, operation);
        QFETCH(int, expected);
        PresetManager store(std::make_shared<MemoryDefaultsDatabase>());
        QSignalSpy spy(&store, &PresetManager::objectWillChange);
        operation(store);
        QCOMPARE(spy.count(), expected);
    }
};

QTEST_GUILESS_MAIN(TestPresetManager)
#include "tst_presetmanager.moc"
