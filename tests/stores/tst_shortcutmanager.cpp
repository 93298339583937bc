#include "MemoryDefaultsDatabase.h"

#include "stores/BindingLines.h"
#include "stores/PresetManager.h"
#include "stores/SettingsKeys.h"
#include "stores/ShortcutManager.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString custom = QStringLiteral("3F2504E0-4F89-41D3-9A0C-0305E82C3301");
const QString builtin = WindowPreset::uuidString(WindowPreset::defaultPresets().constFirst().id);

// A database holding one custom preset with the id above, and these "shortcuts" bytes.
std::shared_ptr<MemoryDefaultsDatabase> database(const QByteArray& shortcuts)
{
    auto db = std::make_shared<MemoryDefaultsDatabase>();
    db->values.insert(SettingsKeys::customPresets,
                      QByteArray(R"([{"id":")") + custom.toLatin1() +
                          R"(","name":"Square","width":1000,"height":900,"isDefault":false,)"
                          R"("createdAt":1,"isVisible":true,"sortOrder":9}])");
    if (!shortcuts.isNull())
        db->values.insert(SettingsKeys::shortcuts, shortcuts);
    return db;
}

} // namespace

class TestShortcutManager : public QObject {
    Q_OBJECT
private slots:
    // What loads from the stored bytes, and whether what did not is copied out before the next save.
    void load_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("loaded"); // id=keys;... in id order
        QTest::addColumn<bool>("copied");
        QTest::newRow("nothing stored") << QByteArray() << "" << false;
        QTest::newRow("snap and presets") << (R"({"leftHalf":"Ctrl+Alt+Left",")" + builtin.toLatin1() +
                                              R"(":"Meta+F5",")" + custom.toLatin1() + R"(":"Ctrl+Shift+S"})")
                                          << QStringLiteral("%1=Meta+F5;%2=Ctrl+Shift+S;leftHalf=Ctrl+Alt+Left")
                                                 .arg(builtin, custom)
                                          << false;
        // A deleted preset, a position of no name, unreadable sequences, and one combination twice: each alone is dropped.
        QTest::newRow("unreadable entries")
            << QByteArray(R"({"3F2504E0-4F89-41D3-9A0C-0305E82C3399":"Ctrl+A","middle":"Ctrl+M","leftHalf":"Ctrl+Bogus",)"
                          R"("rightHalf":"Ctrl+A, B","topHalf":7,"bottomHalf":"","leftThird":"Alt+3","rightThird":"Alt+3"})")
            << "leftThird=Alt+3" << true;
        QTest::newRow("not an object") << QByteArray(R"(["leftHalf","Ctrl+1"])") << "" << true;
        QTest::newRow("not JSON") << QByteArray("{leftHalf") << "" << true;
    }
    void load()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, loaded);
        QFETCH(bool, copied);
        const auto db = database(stored);
        PresetManager presets(db);
        ShortcutManager store(db, presets);
        QStringList pairs;
        for (auto it = store.shortcuts().cbegin(); it != store.shortcuts().cend(); ++it)
            pairs << it.key() + u'=' + it.value().toString(QKeySequence::PortableText);
        QCOMPARE(pairs.join(u';'), loaded);

        QVERIFY(store.setShortcut(QStringLiteral("centerThird"), QKeySequence(QStringLiteral("Ctrl+Alt+C"))));
        QCOMPARE(db->copies.size(), copied ? 1 : 0);
        if (copied)
            QCOMPARE(db->copies.first(), qMakePair(SettingsKeys::shortcuts, stored));
    }

    // Stored combinations as sway and i3 write them; "-" where they cannot name the key.
    void bindingKeys_data()
    {
        QTest::addColumn<QString>("portable");
        QTest::addColumn<QString>("bound");
        QTest::newRow("arrow") << "Ctrl+Alt+Left" << "Ctrl+Mod1+Left";
        QTest::newRow("letter") << "Meta+S" << "Mod4+s";
        QTest::newRow("punctuation") << "Shift+Meta+." << "Shift+Mod4+period";
        QTest::newRow("plus itself") << "Ctrl++" << "Ctrl+plus";
        QTest::newRow("no such function key") << "F36" << "-";
        QTest::newRow("non-ASCII letter") << "Ctrl+\u00C4" << "-";
        QTest::newRow("unknown modifier") << "Hyper+A" << "-";
    }
    void bindingKeys()
    {
        QFETCH(QString, portable);
        QTEST(BindingLines::keys(portable).value_or(QStringLiteral("-")), "bound");
    }

    // Writing, refusing, deleting and resetting, on one store as a user would.
    void changes()
    {
        const auto db = database(R"({"leftHalf":"Ctrl+Alt+Left"})");
        PresetManager presets(db);
        ShortcutManager store(db, presets);
        QSignalSpy changed(&store, &ShortcutManager::objectWillChange);

        const auto refused = store.setShortcut(custom, QKeySequence(QStringLiteral("Ctrl+Alt+Left")));
        QCOMPARE(refused ? QString() : refused.error(), QStringLiteral("leftHalf"));
        QCOMPARE(changed.count(), 0);
        QVERIFY(store.setShortcut(custom, QKeySequence(QStringLiteral("Ctrl+Alt+S, X"))));
        QCOMPARE(*db->data(SettingsKeys::shortcuts),
                 QByteArray(R"({")" + custom.toLatin1() + R"(":"Ctrl+Alt+S","leftHalf":"Ctrl+Alt+Left"})"));

        QVERIFY(presets.deletePreset(*WindowPreset::parseUuid(custom)));
        QCOMPARE(*db->data(SettingsKeys::shortcuts), QByteArray(R"({"leftHalf":"Ctrl+Alt+Left"})"));
        QVERIFY(store.setShortcut(QStringLiteral("leftHalf"), {}));
        QCOMPARE(*db->data(SettingsKeys::shortcuts), QByteArray("{}"));
        QVERIFY(store.setShortcut(QStringLiteral("topHalf"), QKeySequence(QStringLiteral("F9"))));
        store.resetToDefaults();
        QVERIFY(store.shortcuts().isEmpty() && !db->values.contains(SettingsKeys::shortcuts));
    }
};

QTEST_MAIN(TestShortcutManager)
#include "tst_shortcutmanager.moc"
