#include "SettingsFile.h"
#include "stores/SettingsDefaultsDatabase.h"

#include <QRegularExpression>
#include <QTest>

namespace {

// What the database reads under "key": a list, data, or nothing; never both.
QVariant readBack(const DefaultsDatabase& db)
{
    const auto list = db.stringList("key");
    const auto data = db.data("key");
    return list && data ? QVariant("both") : list ? QVariant(*list) : data ? QVariant(*data) : QVariant();
}

} // namespace

class TestSettingsDefaultsDatabase : public QObject {
    Q_OBJECT

    SettingsFiles m_files;

private slots:
    // Every shape the stores write, read back from the file as a restarted process reads it.
    void valuesRoundTripThroughTheFile_data()
    {
        QTest::addColumn<QVariant>("value");
        QByteArray everyByte;
        for (int i = 0; i < 256; ++i)
            everyByte.append(char(i));
        QTest::newRow("every byte") << QVariant(everyByte + "@ByteArray(x) [General] ; # = , \\ Café 日本");
        QTest::newRow("empty list") << QVariant(QStringList());
        QTest::newRow("syntax in elements") << QVariant(QStringList{"", "a, b", "\"q\" \\ x=y;z#w", "@Invalid()",
                                                                    "two\nlines", " lead", "Café 日本 😀"});
    }
    void valuesRoundTripThroughTheFile()
    {
        QFETCH(QVariant, value);
        const QString path = m_files.fresh();
        SettingsDefaultsDatabase db(path);
        if (value.typeId() == QMetaType::QStringList)
            db.setStringList("key", value.toStringList());
        else
            db.setData("key", value.toByteArray());
        QCOMPARE(readBack(SettingsDefaultsDatabase(m_files.restart(path))), value);
    }

    // Files written by hand or by another program: lists in every form
    // QSettings writes, only a byte array as data, and writes still land, a
    // list in place of what was there rather than hidden behind it.
    void foreignValues_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("single string") << QByteArray("[General]\nkey=topHalf\n") << QVariant(QStringList{"topHalf"});
        QTest::newRow("string list") << QByteArray("[General]\nkey=topHalf, \"a, b\"\n") << QVariant(QStringList{"topHalf", "a, b"});
        QTest::newRow("empty string list") << QByteArray("[General]\nkey=@Invalid()\n") << QVariant(QStringList());
        QTest::newRow("hand-written list") << QByteArray("[key]\nsize=2\n1\\value=topHalf\n2\\value=leftHalf\n")
                                           << QVariant(QStringList{"topHalf", "leftHalf"});
        QTest::newRow("plain value beside a list") << QByteArray("[General]\nkey=x\n[key]\nsize=0\n") << QVariant(QStringList{"x"});
        QTest::newRow("huge size") << QByteArray("[key]\nsize=9000000000000\n1\\value=a\n") << QVariant();
        QTest::newRow("not an ini file") << QByteArray::fromHex("00fffe") + " [[[ ===\n[x\nk=v\n" << QVariant();
    }
    void foreignValues()
    {
        QFETCH(QByteArray, file);
        QFETCH(QVariant, expected);
        const QString path = m_files.fresh();
        QVERIFY(SettingsFiles::write(path, file));
        SettingsDefaultsDatabase db(path);
        QCOMPARE(readBack(db), expected);
        QTest::failOnWarning(QRegularExpression("not saved"));
        db.setStringList("key", {"w"});
        QCOMPARE(readBack(SettingsDefaultsDatabase(m_files.restart(path))), QVariant(QStringList{"w"}));
        db.remove("key");
        QCOMPARE(readBack(SettingsDefaultsDatabase(m_files.restart(path))), QVariant());
    }

    void failedWritesAreReportedAndLaterOnesStillLand()
    {
        const QString blocker = m_files.dir.filePath("not-a-folder");
        QVERIFY(SettingsFiles::write(blocker, "x"));
        SettingsDefaultsDatabase db(blocker + "/Ventrel.conf");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("\"customPresets\" was not saved"));
        db.setData("customPresets", "[]");
        QVERIFY(QFile::remove(blocker));
        QTest::failOnWarning(QRegularExpression("not saved"));
        db.setData("customPresets", "[1]");
        QVERIFY(SettingsFiles::read(blocker + "/Ventrel.conf").contains("customPresets=@ByteArray([1])"));
    }

    // Unreadable values are copied beside the settings file, once per content.
    void copiesAreKeptBesideTheFile()
    {
        const QString path = m_files.fresh();
        SettingsDefaultsDatabase db(path);
        const auto first = db.keepCopy("customPresets", "\xff[{");
        const auto other = db.keepCopy("customPresets", "[{]");
        QVERIFY(first && other && *first != *other);
        QCOMPARE(db.keepCopy("customPresets", "\xff[{"), first);
        QCOMPARE(QFileInfo(*first).absolutePath(), QFileInfo(path).absolutePath());
        QCOMPARE(SettingsFiles::read(*first) + '|' + SettingsFiles::read(*other), "\xff[{|[{]");
    }
};

QTEST_GUILESS_MAIN(TestSettingsDefaultsDatabase)
#include "tst_settingsdefaultsdatabase.moc"
