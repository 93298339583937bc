#include "MemoryDefaultsDatabase.h"
#include "stores/PresetManager.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>

namespace {

using Copies = QList<QPair<QString, QByteArray>>;

QUuid builtinId(int index) { return WindowPreset::defaultPresets().at(index).id; }
QByteArray json(const QJsonArray& array) { return QJsonDocument(array).toJson(QJsonDocument::Compact); }
QJsonObject custom(const QString& name, qint64 sortOrder = 9, bool isVisible = true)
{
    return WindowPreset{QUuid::createUuid(), name, 640, 480, false, 700000000.5, isVisible, sortOrder}.toJson();
}

// The flat "presetSettings" value, from (built-in index, isVisible, sortOrder)
// triples. Built-in ids are fixed: settings already stored name them.
QByteArray settingsValue(const QList<std::tuple<int, bool, qint64>>& pairs)
{
    QJsonArray flat;
    for (const auto& [index, isVisible, sortOrder] : pairs)
        flat << QStringLiteral("00000000-0000-0000-0000-00000000000%1").arg(index + 1)
             << QJsonObject{{"isVisible", isVisible}, {"sortOrder", sortOrder}};
    return json(flat);
}

// A database in memory holding these "customPresets" and "presetSettings" values, if any.
std::shared_ptr<MemoryDefaultsDatabase> memory(const QVariant& customs = {}, const QVariant& settings = {})
{
    auto db = std::make_shared<MemoryDefaultsDatabase>();
    if (customs.isValid())
        db->values.insert(SettingsKeys::customPresets, customs);
    if (settings.isValid())
        db->values.insert(SettingsKeys::presetSettings, settings);
    return db;
}

// Each preset as its name (cut short), whether it is visible, and its order: "Web Demo v0".
QStringList state(const QList<WindowPreset>& presets)
{
    QStringList list;
    for (const WindowPreset& p : presets)
        list << p.name.left(20) + (p.isVisible ? " v" : " h") + QString::number(p.sortOrder);
    return list;
}

const QStringList builtins = state(WindowPreset::defaultPresets());

} // namespace

class TestPresetManager : public QObject {
    Q_OBJECT

private slots:
    // Over a store where "Full HD" is hidden, and custom presets "STRASSE" and
    // a hidden "Café" (precomposed) hold the largest order.
    void addPreset_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("result"); // the new preset's name, or the refusal's text
        const QString dims = "Width and height must be between 100 and 10000 pixels.";
        const QString taken = "A preset with this name already exists.";
        QTest::newRow("bounds") << "Tall" << 100 << 10000 << "Tall";
        QTest::newRow("other bounds") << "Wide" << 10000 << 100 << "Wide";
        QTest::newRow("width 99, before the name") << "" << 99 << 500 << dims;
        QTest::newRow("height 10001, before uniqueness") << "Full HD" << 500 << 10001 << dims;
        QTest::newRow("blanks") << QString::fromUtf16(u" \t\n\r\v\f\u0085\u00A0\u1680\u2000\u2028\u2029\u202F\u3000")
                                << 500 << 500 << "Preset name must be at least 1 character.";
        QTest::newRow("hidden builtin, other case, spaces around") << "  full hd  " << 500 << 500 << taken;
        QTest::newRow("decomposed accent") << QString::fromUtf16(u"CAFE\u0301") << 500 << 500 << taken;
    }
    void addPreset()
    {
        QFETCH(QString, name);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, result);
        const auto db = memory(json({custom("STRASSE", 5), custom(QString::fromUtf16(u"Caf\u00E9"), 6, false)}),
                               settingsValue({{2, false, 2}}));
        PresetManager store(db);
        const QList<WindowPreset> before = store.presets();
        const auto added = store.addPreset(name, width, height);
        QCOMPARE(added ? added->name : errorDescription(added.error()), result);
        QCOMPARE(store.presets().mid(0, before.size()), before);
        QCOMPARE(state(store.presets()).mid(before.size()), added ? QStringList(result + " v7") : QStringList());
        QCOMPARE(db->writes > 0, added.has_value());
        if (added)
            QVERIFY(!added->isDefault && added->width == width && added->height == height);
    }

    // Deleting keeps the others' orders; a reorder renumbers only the ids it
    // names, and the stored list keeps its order.
    void deleteAndReorder()
    {
        const auto db = memory(json({custom("A", 20), custom("B", 10), custom("C", 30)}));
        PresetManager store(db);
        QList<qsizetype> sizesSeen;
        connect(&store, &PresetManager::objectWillChange, this, [&] { sizesSeen << store.presets().size(); });
        const auto builtin = store.deletePreset(builtinId(2));
        QCOMPARE(builtin ? QString() : errorDescription(builtin.error()), "Cannot delete default presets.");
        QVERIFY(store.deletePreset(QUuid::createUuid())); // unknown ids change nothing
        store.togglePresetVisibility(QUuid::createUuid());
        QVERIFY(store.presets().size() == 8 && db->writes == 0 && sizesSeen.isEmpty());
        QVERIFY(store.deletePreset(store.presets().at(6).id));
        QCOMPARE(sizesSeen, (QList<qsizetype>{8, 7})); // before the removal, and after the save
        QCOMPARE(state(PresetManager(db).presets()), builtins + QStringList({"A v20", "C v30"}));
        store.reorderPresets({store.presets().at(6).id, store.presets().at(5).id});
        QCOMPARE(state(PresetManager(db).presets()), builtins + QStringList({"A v1", "C v0"}));
    }

    // The stored values themselves, until a reset removes them; the file's own
    // faithfulness is the settings database's test.
    void storedValues()
    {
        const auto db = memory();
        PresetManager store(db);
        store.togglePresetVisibility(builtinId(2));
        const auto added = store.addPreset(" Télé 📺 ", 1024, 768);
        store.togglePresetVisibility(added->id);
        QCOMPARE(*db->data(SettingsKeys::presetSettings),
                 settingsValue({{0, true, 0}, {1, true, 1}, {2, false, 2}, {3, true, 3}, {4, true, 4}}));
        QCOMPARE(*db->data(SettingsKeys::customPresets),
                 json({QJsonObject{{"id", added->id.toString(QUuid::WithoutBraces).toUpper()}, {"name", "Télé 📺"},
                                   {"width", 1024}, {"height", 768}, {"isDefault", false},
                                   {"createdAt", added->createdAt}, {"isVisible", false}, {"sortOrder", 5}}}));
        QCOMPARE(PresetManager(db).presets(), store.presets());
        store.resetToDefaults();
        QVERIFY(!db->values.contains(SettingsKeys::customPresets) && !db->values.contains(SettingsKeys::presetSettings));
    }

    // Good pairs apply in any order, the later of two for one id; any fault rejects the whole value.
    void presetSettingsShapes_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("good") << QVariant(settingsValue({{4, false, 0}, {2, false, 7}, {2, true, 8}, {0, true, 40}}))
                              << QStringList{"Web Demo v40", "Desktop App v1", "Full HD v8", "HD Video v3", "Compact h0"};
        // "@" stands for the first built-in preset's id.
        for (const char* bad : {"{@:{\"isVisible\":false,\"sortOrder\":9}}", "[@,{\"isVisible\":false,\"sortOrder\":9},@]",
                                "[@,{\"isVisible\":\"false\",\"sortOrder\":9}]", "[@,{\"isVisible\":false,\"sortOrder\":1.5}]",
                                "[@,{\"isVisible\":false,\"sortOrder\":9},\"12345678-0000-0000-0000-000000000000\",{}]"})
            QTest::newRow(bad) << QVariant(QByteArray(bad).replace("@", "\"00000000-0000-0000-0000-000000000001\""))
                               << builtins;
    }
    void presetSettingsShapes()
    {
        QFETCH(QVariant, stored);
        QFETCH(QStringList, expected);
        const auto db = memory({}, stored);
        QCOMPARE(state(PresetManager(db).presets()), expected);
        QCOMPARE(db->writes, 0);
    }

    // Element by element: one damaged preset must not cost the others, what
    // cannot be read is copied out before the stored value is first replaced,
    // and what was read is written back exactly as Qt's JSON writer puts it.
    void storedCustomPresets_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<bool>("copied");
        QTest::newRow("not json") << QVariant(QByteArray("[{\"id\":")) << QStringList{} << true;
        QTest::newRow("object") << QVariant(QJsonDocument(custom("A")).toJson()) << QStringList{} << true;
        QTest::newRow("array of numbers") << QVariant(QByteArray("[1,2,3]")) << QStringList{} << true;
        // Each field missing, null or of the wrong kind; integers not whole or past 64 bits (2^63, which a
        // comparison in doubles lets through); ids not canonical.
        const std::pair<const char*, QJsonValue> wrong[] = {
            {"id", 42},       {"name", true},       {"width", "640"},      {"height", QJsonValue::Null},
            {"isDefault", 0}, {"createdAt", "now"}, {"isVisible", "yes"}, {"sortOrder", QJsonValue::Undefined},
            {"width", 640.5}, {"width", 0x1p63},    {"id", "not-a-uuid"}, {"id", "{6F9619FF-8B86-D011-B42D-00CF4FC964FF}"}};
        for (const auto& [key, v] : wrong) {
            QJsonObject bad = custom("Bad");
            v.isUndefined() ? void(bad.remove(key)) : void(bad[key] = v);
            QTest::addRow("%s: %s", key, QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact).constData())
                << QVariant(json({custom("A"), bad, custom("B"), custom("C")})) << QStringList{"A v9", "B v9", "C v9"} << true;
        }
        // Decoded presets are taken as they are: duplicates, extra keys, any
        // number, whole numbers written as doubles, ids in lower case.
        QJsonObject odd = custom("Odd", -1, false);
        odd["width"] = 1;
        odd["colour"] = "red";
        odd["id"] = odd["id"].toString().toLower();
        QTest::newRow("duplicate, lenient, out of range")
            << QVariant(json({odd, odd}).replace("\"width\":1}", "\"width\":1.0}")) << QStringList{"Odd h-1", "Odd h-1"} << false;
        QJsonObject claimsBuiltin = custom("Claims built-in");
        claimsBuiltin["isDefault"] = true; // loaded, yet a save would drop it
        QTest::newRow("marked built-in") << QVariant(json({custom("A"), claimsBuiltin})) << QStringList{"A v9", "Claims built-in v9"} << true;
    }
    void storedCustomPresets()
    {
        QFETCH(QVariant, stored);
        QFETCH(QStringList, loaded);
        QFETCH(bool, copied);
        const auto db = memory(stored);
        PresetManager store(db);
        QCOMPARE(state(store.presets()), builtins + loaded);
        QVERIFY(db->writes == 0 && db->copies.isEmpty()); // reading alone never writes or copies
        QList<WindowPreset> kept = store.presets().mid(5);
        kept.removeIf([](const WindowPreset& p) { return p.isDefault; });
        QJsonArray keptJson;
        for (const WindowPreset& p : kept)
            keptJson << p.toJson();
        if (copied)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("could not be read; the stored value was copied"));
        store.reorderPresets({});
        QCOMPARE(*db->data(SettingsKeys::customPresets), json(keptJson));
        QCOMPARE(PresetManager(db).presets(), WindowPreset::defaultPresets() + kept);
        QCOMPARE(db->copies, copied ? Copies({{"customPresets", stored.toByteArray()}}) : Copies());
    }

    // Without a copy, what could not be read is saved again after the presets
    // added since, and a reset, which asked for everything to go, says it
    // deleted them.
    void refusedCopyKeepsUnreadableAndLaterPresets()
    {
        const auto db = memory(json({custom("A"), 7}));
        db->refuseCopies = true;
        PresetManager store(db);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no copy .*; they are saved again after the other presets"));
        QVERIFY(store.addPreset("B", 800, 600));
        QCOMPARE(state(PresetManager(db).presets()).mid(5), (QStringList{"A v9", "B v10"}));
        QVERIFY(db->data(SettingsKeys::customPresets)->endsWith(",7]"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no copy .*; the reset deletes them"));
        store.resetToDefaults();
        QVERIFY(!db->values.contains(SettingsKeys::customPresets));
    }
};

QTEST_GUILESS_MAIN(TestPresetManager)
#include "tst_presetmanager.moc"
