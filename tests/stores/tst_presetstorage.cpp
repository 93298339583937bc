#include "MemoryDefaultsDatabase.h"
#include "PresetFixtures.h"
#include "SettingsFile.h"
#include "stores/PresetManager.h"
#include "stores/SettingsDefaultsDatabase.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace PresetFixtures;

namespace {

QJsonObject goodObject(const QString& name)
{
    return custom(name, 9).toJson();
}

QByteArray arrayOf(const QList<QJsonValue>& elements)
{
    QJsonArray array;
    for (const QJsonValue& e : elements)
        array.append(e);
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// Names of the presets after the five built-in ones.
QStringList customNames(const QList<WindowPreset>& presets)
{
    QStringList list;
    for (const WindowPreset& p : presets.mid(5))
        list.append(p.name.left(20));
    return list;
}

struct Builtin {
    bool isVisible;
    qint64 sortOrder;
    friend bool operator==(const Builtin&, const Builtin&) = default;
};

QList<Builtin> builtinState(const PresetManager& store)
{
    QList<Builtin> state;
    for (const WindowPreset& p : store.presets().mid(0, 5))
        state.append({p.isVisible, p.sortOrder});
    return state;
}

const QList<Builtin> untouched{{true, 0}, {true, 1}, {true, 2}, {true, 3}, {true, 4}};

} // namespace

Q_DECLARE_METATYPE(QList<Builtin>)

class TestPresetStorage : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_paths = 0;

    QString freshPath() { return m_dir.filePath(QStringLiteral("run%1/Ventrel.conf").arg(++m_paths)); }

private slots:
    void storedBytesOfACustomPreset()
    {
        const QString path = freshPath();
        auto db = std::make_shared<SettingsDefaultsDatabase>(path);
        PresetManager store(db);
        QVERIFY(!QFileInfo::exists(path)); // loading writes nothing
        const auto added = store.addPreset(QString::fromUtf8(" Télé 📺 "), 1024, 768);
        QVERIFY(added);

        SettingsDefaultsDatabase reread(SettingsFile::copyForRestart(path, freshPath()));
        const QByteArray custom = *reread.data(PresetManager::customPresetsKey);
        QVERIFY(!custom.contains('\n') && !custom.contains(": ") && custom.startsWith("[{"));
        const QJsonArray array = parsedArray(custom);
        QCOMPARE(array.size(), 1);
        const QJsonObject o = array.at(0).toObject();
        const QStringList keys = o.keys();
        QCOMPARE(QSet<QString>(keys.cbegin(), keys.cend()),
                 (QSet<QString>{"id", "name", "width", "height", "isDefault", "createdAt", "isVisible", "sortOrder"}));
        QCOMPARE(o["id"].toString(), added->id.toString(QUuid::WithoutBraces).toUpper());
        QCOMPARE(o["name"].toString(), QString::fromUtf8("Télé 📺"));
        QVERIFY(custom.contains(QString::fromUtf8("Télé 📺").toUtf8())); // UTF-8, not escaped
        QCOMPARE(o["width"].toVariant(), QVariant(qint64(1024)));
        QCOMPARE(o["height"].toVariant(), QVariant(qint64(768)));
        QCOMPARE(o["isDefault"], QJsonValue(false));
        QCOMPARE(o["isVisible"], QJsonValue(true));
        QCOMPARE(o["sortOrder"].toVariant(), QVariant(qint64(5)));
        QCOMPARE(o["createdAt"].toDouble(), added->createdAt);

        const QJsonArray settings = parsedArray(reread.data(PresetManager::presetSettingsKey));
        QCOMPARE(settings.size(), 10);
        QSet<QString> ids;
        for (qsizetype i = 0; i < settings.size(); i += 2) {
            ids.insert(settings.at(i).toString());
            const QJsonObject s = settings.at(i + 1).toObject();
            QCOMPARE(s.keys(), (QStringList{"isVisible", "sortOrder"}));
            QVERIFY(s["isVisible"].isBool());
            QCOMPARE(s["sortOrder"].toVariant().typeId(), QMetaType::LongLong);
        }
        QCOMPARE(ids, (QSet<QString>{"00000000-0000-0000-0000-000000000001", "00000000-0000-0000-0000-000000000002",
                                     "00000000-0000-0000-0000-000000000003", "00000000-0000-0000-0000-000000000004",
                                     "00000000-0000-0000-0000-000000000005"}));

        // A restarted process reads back the very same preset, creation time to the bit.
        PresetManager restarted(std::make_shared<SettingsDefaultsDatabase>(SettingsFile::copyForRestart(path, freshPath())));
        QCOMPARE(restarted.presets(), store.presets());
    }

    // Saving reads back what it wrote: the stored bytes of presets that were
    // loaded are written again unchanged, byte for byte as Qt's JSON writer
    // puts them, whatever their names and numbers.
    void savingRewritesLoadedPresetsUnchanged_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("createdAt");
        QTest::addColumn<qint64>("number");
        const qint64 lowest = std::numeric_limits<qint64>::min();
        const qint64 highest = std::numeric_limits<qint64>::max();
        QTest::newRow("plain") << "Phone" << 818279660.382 << qint64(390);
        QTest::newRow("empty name, zero time") << "" << 0.0 << qint64(0);
        QTest::newRow("quotes and backslashes") << "say \"hi\" \\ / bye" << 700000000.0 << qint64(-1);
        QTest::newRow("control characters") << QString::fromUtf16(u"a\u0001\t\n\r\u001f\u007f") << -1.5 << lowest;
        QTest::newRow("non-ascii") << QString::fromUtf8("Télé 📺 日本 \u2028\u2029") << 1e300 << highest;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "x" << 5e-324 << qint64(1);
        QTest::newRow("2^63 as a time") << "Big" << 9223372036854775808.0 << qint64(10000);
        QTest::newRow("2^53 + 1 region") << "Edge" << 9007199254740993.0 << qint64(100);
        QTest::newRow("negative zero") << "Zero" << -0.0 << qint64(100);
    }
    void savingRewritesLoadedPresetsUnchanged()
    {
        QFETCH(QString, name);
        QFETCH(double, createdAt);
        QFETCH(qint64, number);
        const WindowPreset preset{QUuid::createUuid(), name, number, number, false, createdAt, false, number};
        const QByteArray original = customPresetsValue({custom("First", 1), preset, custom("Last", 2)});
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(PresetManager::customPresetsKey, original);
        PresetManager store(db);
        QCOMPARE(store.presets().size(), 8);
        store.togglePresetVisibility(builtinId(0));
        QCOMPARE(db->data(PresetManager::customPresetsKey), std::optional(original));
        QVERIFY(db->copies.isEmpty());
    }

    void visibilitySurvivesARestart()
    {
        const QString path = freshPath();
        PresetManager store(std::make_shared<SettingsDefaultsDatabase>(path));
        store.togglePresetVisibility(builtinId(2));
        SettingsDefaultsDatabase afterBuiltin(SettingsFile::copyForRestart(path, freshPath()));
        QCOMPARE(afterBuiltin.data(PresetManager::customPresetsKey), std::optional<QByteArray>("[]"));
        const QJsonArray settings = parsedArray(afterBuiltin.data(PresetManager::presetSettingsKey));
        const qsizetype at = settings.toVariantList().indexOf(QVariant("00000000-0000-0000-0000-000000000003"));
        QVERIFY(at >= 0 && at % 2 == 0);
        QCOMPARE(settings.at(at + 1).toObject(), (QJsonObject{{"isVisible", false}, {"sortOrder", 2}}));

        const auto added = store.addPreset("Phone", 390, 844);
        store.togglePresetVisibility(added->id);
        const QString copy = SettingsFile::copyForRestart(path, freshPath());
        QCOMPARE(parsedArray(SettingsDefaultsDatabase(copy).data(PresetManager::customPresetsKey)).at(0)["isVisible"],
                 QJsonValue(false));
        PresetManager restarted(std::make_shared<SettingsDefaultsDatabase>(copy));
        QVERIFY(!restarted.presets().at(2).isVisible);
        QVERIFY(!restarted.presets().at(5).isVisible);
        QCOMPARE(restarted.presets(), store.presets());
    }

    void resetRemovesBothEntriesFromTheFile()
    {
        const QString path = freshPath();
        PresetManager store(std::make_shared<SettingsDefaultsDatabase>(path));
        QVERIFY(store.addPreset("Phone", 390, 844));
        store.togglePresetVisibility(builtinId(0));
        store.reorderPresets({builtinId(4), builtinId(3)});
        store.resetToDefaults();
        QCOMPARE(store.presets(), WindowPreset::defaultPresets());
        const QByteArray file = SettingsFile::read(path);
        QVERIFY(!file.contains("customPresets") && !file.contains("presetSettings"));
        PresetManager restarted(std::make_shared<SettingsDefaultsDatabase>(SettingsFile::copyForRestart(path, freshPath())));
        QCOMPARE(restarted.presets(), WindowPreset::defaultPresets());
    }

    void presetSettingsShapes_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QList<Builtin>>("expected");
        const QString full = "00000000-0000-0000-0000-000000000003";
        const QString web = "00000000-0000-0000-0000-000000000001";
        QTest::newRow("any pair order")
            << QVariant(presetSettingsValue({{"00000000-0000-0000-0000-000000000005", true, 0},
                                             {"00000000-0000-0000-0000-000000000004", false, 1},
                                             {full, true, 2},
                                             {"00000000-0000-0000-0000-000000000002", true, 3},
                                             {web, true, 4}}))
            << QList<Builtin>{{true, 4}, {true, 3}, {true, 2}, {false, 1}, {true, 0}};
        QTest::newRow("some ids only") << QVariant(presetSettingsValue({{full, false, 40}}))
                                       << QList<Builtin>{{true, 0}, {true, 1}, {false, 40}, {true, 3}, {true, 4}};
        QTest::newRow("later pair wins") << QVariant(presetSettingsValue({{full, false, 7}, {full, true, 8}}))
                                         << QList<Builtin>{{true, 0}, {true, 1}, {true, 8}, {true, 3}, {true, 4}};
        QTest::newRow("unknown ids ignored")
            << QVariant(presetSettingsValue({{QUuid::createUuid().toString(QUuid::WithoutBraces), false, 1}, {web, false, 9}}))
            << QList<Builtin>{{false, 9}, {true, 1}, {true, 2}, {true, 3}, {true, 4}};
        QTest::newRow("empty array") << QVariant(QByteArray("[]")) << untouched;

        const QByteArray good = presetSettingsValue({{web, false, 9}});
        auto bad = [&](const char* row, const QByteArray& bytes) { QTest::newRow(row) << QVariant(bytes) << untouched; };
        bad("not json", "[\"00000000-0000-0000-0000-000000000001\",{\"isVisible\":false,");
        bad("object", "{\"00000000-0000-0000-0000-000000000001\":{\"isVisible\":false,\"sortOrder\":9}}");
        bad("odd length", good + "x");
        bad("odd length array", "[\"00000000-0000-0000-0000-000000000001\",{\"isVisible\":false,\"sortOrder\":9},"
                                "\"00000000-0000-0000-0000-000000000002\"]");
        bad("numbers", "[1,2,3,4]");
        bad("id not a string", "[1,{\"isVisible\":false,\"sortOrder\":9}]");
        bad("id not a uuid", "[\"Web Demo\",{\"isVisible\":false,\"sortOrder\":9}]");
        bad("id in braces", "[\"{00000000-0000-0000-0000-000000000001}\",{\"isVisible\":false,\"sortOrder\":9}]");
        bad("settings missing sortOrder", "[\"00000000-0000-0000-0000-000000000001\",{\"isVisible\":false}]");
        bad("settings missing isVisible", "[\"00000000-0000-0000-0000-000000000001\",{\"sortOrder\":9}]");
        bad("null settings", "[\"00000000-0000-0000-0000-000000000001\",null]");
        bad("isVisible a string", "[\"00000000-0000-0000-0000-000000000001\",{\"isVisible\":\"false\",\"sortOrder\":9}]");
        bad("sortOrder a fraction", "[\"00000000-0000-0000-0000-000000000001\",{\"isVisible\":false,\"sortOrder\":1.5}]");
        bad("sortOrder out of range", "[\"00000000-0000-0000-0000-000000000001\",{\"isVisible\":false,\"sortOrder\":1e30}]");
        bad("one bad pair spoils all", good.chopped(1) + ",\"00000000-0000-0000-0000-000000000002\",{}]");
        bad("10 MB", QByteArray(10 * 1024 * 1024, '['));
        QTest::newRow("a string, not data") << QVariant(QString::fromLatin1(good)) << untouched;
    }
    void presetSettingsShapes()
    {
        QFETCH(QVariant, stored);
        QFETCH(QList<Builtin>, expected);
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(PresetManager::presetSettingsKey, stored);
        PresetManager store(db);
        QCOMPARE(builtinState(store), expected);
        QCOMPARE(store.presets().size(), 5);
        QCOMPARE(db->writes, 0);
    }

    // One damaged preset must not cost the others, and what cannot be read is
    // copied out before the stored value is first replaced.
    void damagedCustomPresets_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QStringList>("survivors");
        QTest::addColumn<bool>("copied");

        QTest::newRow("empty array") << QVariant(QByteArray("[]")) << QStringList{} << false;
        QTest::newRow("not json") << QVariant(QByteArray("[{\"id\":")) << QStringList{} << true;
        QTest::newRow("object") << QVariant(QJsonDocument(goodObject("A")).toJson()) << QStringList{} << true;
        QTest::newRow("array of numbers") << QVariant(QByteArray("[1,2,3]")) << QStringList{} << true;
        QTest::newRow("nested arrays") << QVariant(arrayOf({goodObject("A"), QJsonArray{goodObject("B")}}))
                                       << QStringList{"A"} << true;
        QTest::newRow("trailing garbage") << QVariant(arrayOf({goodObject("A")}) + "]") << QStringList{} << true;

        const struct {
            const char* key;
            QJsonValue wrong;
        } fields[] = {{"id", 42},       {"name", true},       {"width", "640"},    {"height", QJsonArray{480}},
                      {"isDefault", 0}, {"createdAt", "now"}, {"isVisible", "yes"}, {"sortOrder", QJsonObject{}}};
        for (const auto& field : fields) {
            for (int variant = 0; variant < 3; ++variant) {
                QJsonObject damaged = goodObject("Bad");
                const char* how = variant == 0 ? "missing" : variant == 1 ? "null" : "wrong type";
                if (variant == 0)
                    damaged.remove(field.key);
                else
                    damaged[field.key] = variant == 1 ? QJsonValue(QJsonValue::Null) : field.wrong;
                QTest::addRow("%s %s", field.key, how)
                    << QVariant(arrayOf({goodObject("A"), damaged, goodObject("B"), goodObject("C")}))
                    << QStringList{"A", "B", "C"} << true;
            }
        }
        const struct {
            const char* row;
            const char* key;
            QJsonValue value;
        } values[] = {
            {"fractional width", "width", 640.5},
            {"width beyond 64 bits", "width", 1e20},
            {"fractional sortOrder", "sortOrder", 0.25},
            {"id not a uuid", "id", "not-a-uuid"},
            {"id in braces", "id", "{6F9619FF-8B86-D011-B42D-00CF4FC964FF}"},
            {"id without hyphens", "id", "6F9619FF8B86D011B42D00CF4FC964FF"},
            {"id with a non-hex digit", "id", "6F9619FF-8B86-D011-B42D-00CF4FC964FG"},
        };
        for (const auto& v : values) {
            QJsonObject damaged = goodObject("Bad");
            damaged[v.key] = v.value;
            QTest::newRow(v.row) << QVariant(arrayOf({goodObject("A"), goodObject("B"), goodObject("C"), damaged}))
                                 << QStringList{"A", "B", "C"} << true;
        }
        // Decoded presets are taken as they are.
        QJsonObject twin = goodObject("Twin");
        QJsonObject extra = goodObject("Extra");
        extra["colour"] = "red";
        QJsonObject huge = goodObject("Tiny");
        huge["width"] = 1000000;
        QTest::newRow("duplicate ids, extra keys, any size")
            << QVariant(arrayOf({twin, twin, extra, huge})) << QStringList{"Twin", "Twin", "Extra", "Tiny"} << false;
        // Loaded as stored, yet a save would drop it: its bytes are copied out first.
        QJsonObject claimsBuiltin = goodObject("Claims built-in");
        claimsBuiltin["isDefault"] = true;
        QTest::newRow("custom preset marked built-in")
            << QVariant(arrayOf({goodObject("A"), claimsBuiltin})) << QStringList{"A", "Claims built-in"} << true;
        QTest::newRow("10 MB of garbage") << QVariant(QByteArray(10 * 1024 * 1024, '{')) << QStringList{} << true;
        QTest::newRow("10 MB name") << QVariant(arrayOf({goodObject(QString(10 * 1024 * 1024, 'n'))}))
                                    << QStringList{QString(20, 'n')} << false;
        QTest::newRow("a string list, not data")
            << QVariant(QStringList{QString::fromLatin1(arrayOf({goodObject("A")}))}) << QStringList{} << false;
    }
    void damagedCustomPresets()
    {
        QFETCH(QVariant, stored);
        QFETCH(QStringList, survivors);
        QFETCH(bool, copied);
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(PresetManager::customPresetsKey, stored);
        PresetManager store(db);
        QCOMPARE(customNames(store.presets()), survivors);
        QCOMPARE(store.presets().mid(0, 5), WindowPreset::defaultPresets());
        QCOMPARE(db->writes, 0);
        QVERIFY(db->copies.isEmpty()); // reading alone never copies

        if (copied)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("could not be read; the stored value was copied"));
        store.togglePresetVisibility(builtinId(0));
        store.togglePresetVisibility(builtinId(0));
        QCOMPARE(customNames(PresetManager(db).presets()), survivors.filter(QRegularExpression("^(?!Claims)")));
        QCOMPARE(db->copies.size(), copied ? 1 : 0);
        if (copied) {
            QCOMPARE(db->copies.first().first, PresetManager::customPresetsKey);
            QCOMPARE(db->copies.first().second, stored.toByteArray());
        }
    }

    void mendThroughARealFile()
    {
        QJsonObject damaged = goodObject("Damaged");
        damaged["width"] = "wide";
        const QByteArray original = arrayOf({goodObject("A"), goodObject("B"), damaged, goodObject("C")});
        const QString path = freshPath();
        QVERIFY(SettingsFile::write(path, "[General]\ncustomPresets=\"@ByteArray(" +
                                              QByteArray(original).replace("\"", "\\\"") + ")\"\n"));
        PresetManager store(std::make_shared<SettingsDefaultsDatabase>(path));
        QCOMPARE(customNames(store.presets()), (QStringList{"A", "B", "C"}));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("could not be read; the stored value was copied to"));
        QVERIFY(store.addPreset("D", 500, 500));
        store.togglePresetVisibility(builtinId(0));

        const QDir folder = QFileInfo(path).absoluteDir();
        const QStringList copies = folder.entryList({"*customPresets*"}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(SettingsFile::read(folder.filePath(copies.first())), original);

        PresetManager restarted(std::make_shared<SettingsDefaultsDatabase>(SettingsFile::copyForRestart(path, freshPath())));
        QCOMPARE(customNames(restarted.presets()), (QStringList{"A", "B", "C", "D"}));
    }

    void refusedCopyLeavesTheStoredValueAlone()
    {
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->refuseCopies = true;
        const QByteArray original = arrayOf({goodObject("A"), QJsonValue(7)});
        db->values.insert(PresetManager::customPresetsKey, original);
        PresetManager store(db);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no copy of them could be kept"));
        store.togglePresetVisibility(builtinId(1));
        QCOMPARE(db->values.value(PresetManager::customPresetsKey).toByteArray(), original);
        QVERIFY(!builtinState(PresetManager(db)).at(1).isVisible);

        // Once a copy can be made, the value is replaced.
        db->refuseCopies = false;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("copied to"));
        store.togglePresetVisibility(builtinId(1));
        QCOMPARE(db->copies.size(), 1);
        QCOMPARE(customNames(PresetManager(db).presets()), QStringList{"A"});
        QCOMPARE(parsedArray(db->data(PresetManager::customPresetsKey)).size(), 1);
    }

    void resetCopiesUnreadablePresetsFirst()
    {
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        db->values.insert(PresetManager::customPresetsKey, QByteArray("not json"));
        PresetManager store(db);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("copied to"));
        store.resetToDefaults();
        QCOMPARE(db->copies.size(), 1);
        QCOMPARE(db->copies.first().second, QByteArray("not json"));
        QVERIFY(!db->values.contains(PresetManager::customPresetsKey));
    }

    void sharedInstanceReadsTheStandardDatabase()
    {
        if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
            QSKIP("run through ctest, which gives each test its own configuration folder");
        DefaultsDatabase::standard()->setData(PresetManager::presetSettingsKey,
                                              presetSettingsValue({{"00000000-0000-0000-0000-000000000004", false, 3}}));
        PresetManager& shared = PresetManager::shared();
        QCOMPARE(&PresetManager::shared(), &shared);
        QVERIFY(!shared.presets().at(3).isVisible);
        shared.resetToDefaults();
        QCOMPARE(DefaultsDatabase::standard()->data(PresetManager::presetSettingsKey), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestPresetStorage)
#include "tst_presetstorage.moc"
