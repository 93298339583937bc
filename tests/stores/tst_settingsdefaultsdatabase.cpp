#include "stores/SettingsDefaultsDatabase.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A literal with the NUL bytes inside it.
template <size_t N>
QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

QByteArray allBytes()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b.append(char(i));
    return b;
}

} // namespace

class TestSettingsDefaultsDatabase : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString freshPath() { return m_dir.filePath(QStringLiteral("db%1/Ventrel.conf").arg(++m_files)); }

    // QSettings shares parsed files within a process, so reading back through
    // a second instance on the same path would only see the values as they
    // were written. A copy under another name makes it parse the file.
    SettingsDefaultsDatabase reparsed(const QString& path)
    {
        const QString copy = freshPath();
        writeFile(copy, readFile(path));
        return SettingsDefaultsDatabase(copy);
    }

private slots:
    void dataRoundTripsThroughTheFile_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("empty array") << QByteArray("[]");
        QTest::newRow("compact json") << QByteArray("[{\"name\":\"A \\\"quoted\\\" \\\\ name\",\"width\":100}]");
        QTest::newRow("utf-8") << QString::fromUtf8("[\"Café 日本 \U0001F600\"]").toUtf8();
        QTest::newRow("control bytes") << raw("a\0b\nc\rd\te\x7f");
        QTest::newRow("every byte") << allBytes();
        QTest::newRow("looks like a type tag") << QByteArray("@ByteArray(x)@Invalid()@@");
        QTest::newRow("ini syntax") << QByteArray(" ; # = , [General] \\ ");
        QTest::newRow("10 MB") << QByteArray(10 * 1024 * 1024, 'x');
    }
    void dataRoundTripsThroughTheFile()
    {
        QFETCH(QByteArray, value);
        const QString path = freshPath();
        SettingsDefaultsDatabase db(path);
        db.setData(QStringLiteral("customPresets"), value);
        SettingsDefaultsDatabase reread = reparsed(path);
        QCOMPARE(reread.data(QStringLiteral("customPresets")), std::optional<QByteArray>(value));
        QCOMPARE(reread.stringList(QStringLiteral("customPresets")), std::nullopt);
    }

    void stringListsRoundTripThroughTheFile_data()
    {
        QTest::addColumn<QStringList>("value");
        QTest::newRow("empty") << QStringList();
        QTest::newRow("one") << QStringList{"topHalf"};
        QTest::newRow("one empty string") << QStringList{""};
        QTest::newRow("blank strings") << QStringList{"", " ", ""};
        QTest::newRow("separators") << QStringList{"a, b", "\"q\"", "back\\slash", "x=y;z#w", "slash/ed"};
        QTest::newRow("type tags") << QStringList{"@Invalid()", "@ByteArray(x)", "@Variant(y)", "@"};
        QTest::newRow("spaces and lines") << QStringList{" lead", "trail ", "two\nlines", "tab\there"};
        QTest::newRow("unicode") << QStringList{QString::fromUtf8("Café"), QString::fromUtf8("日本 \U0001F600")};
        QStringList many;
        for (int i = 0; i < 1000; ++i)
            many.append(QString::number(i));
        QTest::newRow("1000 elements") << many;
    }
    void stringListsRoundTripThroughTheFile()
    {
        QFETCH(QStringList, value);
        const QString path = freshPath();
        SettingsDefaultsDatabase db(path);
        db.setStringList(QStringLiteral("hiddenSnapPositions"), value);
        SettingsDefaultsDatabase reread = reparsed(path);
        QCOMPARE(reread.stringList(QStringLiteral("hiddenSnapPositions")), std::optional<QStringList>(value));
        QCOMPARE(reread.data(QStringLiteral("hiddenSnapPositions")), std::nullopt);
    }

    // Files written by hand or by another program: only the shape we write
    // counts as a list, and only a byte array counts as data.
    void foreignValues_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<std::optional<QStringList>>("list");
        QTest::addColumn<std::optional<QByteArray>>("data");
        const std::optional<QStringList> noList;
        const std::optional<QByteArray> noData;
        QTest::newRow("missing") << QByteArray("[General]\nother=1\n") << noList << noData;
        QTest::newRow("single string") << QByteArray("[General]\nkey=topHalf\n") << noList << noData;
        QTest::newRow("flat list") << QByteArray("[General]\nkey=topHalf, leftHalf\n") << noList << noData;
        QTest::newRow("invalid") << QByteArray("[General]\nkey=@Invalid()\n") << noList << noData;
        QTest::newRow("byte array") << QByteArray("[General]\nkey=@ByteArray([1])\n") << noList
                                    << std::optional<QByteArray>("[1]");
        QTest::newRow("hand-written list") << QByteArray("[key]\nsize=2\n1\\value=topHalf\n2\\value=leftHalf\n")
                                           << std::optional<QStringList>(QStringList{"topHalf", "leftHalf"}) << noData;
        QTest::newRow("empty list") << QByteArray("[key]\nsize=0\n") << std::optional<QStringList>(QStringList())
                                    << noData;
        QTest::newRow("plain value beside a list")
            << QByteArray("[General]\nkey=x\n\n[key]\nsize=0\n") << noList << noData;
        QTest::newRow("element missing") << QByteArray("[key]\nsize=2\n1\\value=topHalf\n") << noList << noData;
        QTest::newRow("element not a string")
            << QByteArray("[key]\nsize=1\n1\\value=@ByteArray(topHalf)\n") << noList << noData;
        QTest::newRow("element is a list") << QByteArray("[key]\nsize=1\n1\\value=a, b\n") << noList << noData;
        QTest::newRow("size not a number") << QByteArray("[key]\nsize=two\n1\\value=a\n") << noList << noData;
        QTest::newRow("negative size") << QByteArray("[key]\nsize=-1\n") << noList << noData;
        QTest::newRow("huge size") << QByteArray("[key]\nsize=9000000000000\n1\\value=a\n") << noList << noData;
        QTest::newRow("no size") << QByteArray("[key]\n1\\value=a\n") << noList << noData;
        QTest::newRow("not an ini file") << raw("\0\xff\xfe garbage [[[ ===") << noList << noData;
    }
    void foreignValues()
    {
        QFETCH(QByteArray, file);
        QFETCH(std::optional<QStringList>, list);
        QFETCH(std::optional<QByteArray>, data);
        const QString path = freshPath();
        writeFile(path, file);
        SettingsDefaultsDatabase db(path);
        QCOMPARE(db.stringList(QStringLiteral("key")), list);
        QCOMPARE(db.data(QStringLiteral("key")), data);
    }

    void writesReplaceEachOtherAndRemoveClearsBoth()
    {
        const QString path = freshPath();
        SettingsDefaultsDatabase db(path);
        const QString key = QStringLiteral("key");
        db.setStringList(key, {"a", "b", "c"});
        db.setStringList(key, {"d"});
        QCOMPARE(reparsed(path).stringList(key), std::optional<QStringList>(QStringList{"d"}));

        db.setData(key, "bytes");
        SettingsDefaultsDatabase asData = reparsed(path);
        QCOMPARE(asData.data(key), std::optional<QByteArray>("bytes"));
        QCOMPARE(asData.stringList(key), std::nullopt);
        QVERIFY(!readFile(path).contains("size="));

        db.setStringList(key, {});
        SettingsDefaultsDatabase asList = reparsed(path);
        QCOMPARE(asList.data(key), std::nullopt);
        QCOMPARE(asList.stringList(key), std::optional<QStringList>(QStringList()));

        db.remove(key);
        QVERIFY(!readFile(path).contains("key"));
        QCOMPARE(reparsed(path).stringList(key), std::nullopt);
    }

    // A process killed right after a write must find it on disk: no write may
    // wait for the database to be destroyed.
    void everyWriteReachesTheDiskBeforeReturning()
    {
        const QString path = freshPath();
        SettingsDefaultsDatabase db(path);
        db.setData(QStringLiteral("customPresets"), "[]");
        QVERIFY(readFile(path).contains("customPresets=@ByteArray([])"));
        db.setStringList(QStringLiteral("hiddenSnapPositions"), {"topHalf"});
        QVERIFY(readFile(path).contains("1\\value=topHalf"));
        db.remove(QStringLiteral("customPresets"));
        QVERIFY(!readFile(path).contains("customPresets"));

        // Several values at once, replacing a list stored under one of the keys.
        db.setDataValues({{QStringLiteral("hiddenSnapPositions"), "[1]"}, {QStringLiteral("presetSettings"), "[2]"}});
        const QByteArray file = readFile(path);
        QVERIFY(file.contains("hiddenSnapPositions=@ByteArray([1])"));
        QVERIFY(file.contains("presetSettings=@ByteArray([2])"));
        QVERIFY(!file.contains("1\\value=topHalf"));
    }

    void failedWritesAreReportedEachTime()
    {
        const QString blocker = m_dir.filePath(QStringLiteral("not-a-folder"));
        writeFile(blocker, "x");
        SettingsDefaultsDatabase db(blocker + QStringLiteral("/Ventrel.conf"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("\"customPresets\" was not saved")));
        db.setData(QStringLiteral("customPresets"), "[]");

        // Once the folder can be made, writes succeed and say nothing.
        QVERIFY(QFile::remove(blocker));
        QTest::failOnWarning(QRegularExpression(QStringLiteral("not saved")));
        db.setData(QStringLiteral("customPresets"), "[1]");
        QVERIFY(readFile(blocker + QStringLiteral("/Ventrel.conf")).contains("customPresets=@ByteArray([1])"));
    }

    void aFileQSettingsCannotFullyParseStillTakesWrites()
    {
        const QString path = freshPath();
        writeFile(path, raw("\0\xff\xfe garbage [[[ ===\n[x\nk=v\n"));
        SettingsDefaultsDatabase db(path);
        QTest::failOnWarning(QRegularExpression(QStringLiteral("not saved")));
        db.setData(QStringLiteral("customPresets"), "[]");
        QCOMPARE(reparsed(path).data(QStringLiteral("customPresets")), std::optional<QByteArray>("[]"));
    }

    void standardDatabaseIsTheVentrelFileInTheConfigFolder()
    {
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (config.isEmpty())
            QSKIP("run through ctest, which gives each test its own configuration folder");
        const QString expected = QDir(config).filePath(QStringLiteral("Ventrel/Ventrel.conf"));
        QFile::remove(expected);
        const auto standard = DefaultsDatabase::standard();
        QCOMPARE(standard, DefaultsDatabase::standard());
        QCOMPARE(static_cast<SettingsDefaultsDatabase&>(*standard).fileName(), expected);
        standard->setStringList(QStringLiteral("hiddenSnapPositions"), {"leftHalf"});
        QVERIFY(readFile(expected).contains("1\\value=leftHalf"));
        standard->remove(QStringLiteral("hiddenSnapPositions"));
    }

    void copiesAreKeptBesideTheFileOncePerContent()
    {
        const QString path = freshPath();
        SettingsDefaultsDatabase db(path);
        const QByteArray bad = allBytes();
        const auto first = db.keepCopy(QStringLiteral("customPresets"), bad);
        QVERIFY(first);
        QCOMPARE(QFileInfo(*first).absolutePath(), QFileInfo(path).absolutePath());
        QVERIFY(QFileInfo(*first).fileName().contains(QStringLiteral("customPresets")));
        QCOMPARE(readFile(*first), bad);

        QCOMPARE(db.keepCopy(QStringLiteral("customPresets"), bad), first);
        const auto other = db.keepCopy(QStringLiteral("customPresets"), "[{]");
        QVERIFY(other);
        QVERIFY(*other != *first);
        QCOMPARE(readFile(*first), bad);
        QCOMPARE(readFile(*other), QByteArray("[{]"));
        // The copies and nothing else: the settings file itself was never written.
        QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files).size(), 2);
    }

    void refusesACopyItCannotWrite()
    {
        const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
        writeFile(blocker, "x");
        SettingsDefaultsDatabase db(blocker + QStringLiteral("/sub/Ventrel.conf"));
        const auto copy = db.keepCopy(QStringLiteral("customPresets"), "[{]");
        QVERIFY(!copy);
        QVERIFY(!copy.error().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettingsDefaultsDatabase)
#include "tst_settingsdefaultsdatabase.moc"
