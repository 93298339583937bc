#include "app/CommandLine.h"
#include "app/TerminalText.h"
#include "stores/PresetManager.h"
#include "stores/SettingsDefaultsDatabase.h"

#include <QTemporaryDir>
#include <QTest>

// Preset names reach the terminal through `ventrel list`.
class TestTerminalText : public QObject {
    Q_OBJECT

private slots:
    void namesAreSafeAndBounded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("escape sequences") << QString("\x1b]0;owned\x07\x1b[2J") + QChar(0x9b) << "\uFFFD]0;owned\uFFFD\uFFFD[2J\uFFFD";
        QTest::newRow("reordering, breaks") << "a\u202Eb\u2028c\nd\r" << "a\uFFFDb\uFFFDc\uFFFDd\uFFFD";
        QTest::newRow("exactly 40, lone surrogate") << QString(39, 'n') + QChar(0xD800) << QString(39, 'n') + "\uFFFD";
        QTest::newRow("cut between emoji") << QString("😀").repeated(45) << QString("😀").repeated(39) + "…";
    }
    void namesAreSafeAndBounded()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QCOMPARE(TerminalText::safeName(name), shown);
    }

    // A 10 MB name and an escape sequence in the saved presets: the listing
    // stays a few lines long and carries no escape character.
    void listStaysSmallAndInert()
    {
        QTemporaryDir dir;
        const auto defaults = std::make_shared<SettingsDefaultsDatabase>(dir.filePath("settings.ini"));
        PresetManager store(defaults);
        QVERIFY(store.addPreset(QString(10 * 1024 * 1024, 'n'), 800, 600));
        QVERIFY(store.addPreset("\x1b[31mred", 640, 480));
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        CommandLine commandLine([]() -> WindowSystem& { qFatal("listing needs no window"); },
                                [&] { return std::shared_ptr<DefaultsDatabase>(defaults); }, outStream, errStream);
        QCOMPARE(commandLine.run({"list"}), 0);
        QVERIFY2(out.size() < 2000, qPrintable(QString::number(out.size())));
        QVERIFY(out.contains("\uFFFD[31mred") && !out.contains(QChar(0x1b)));
    }
};

QTEST_GUILESS_MAIN(TestTerminalText)
#include "tst_terminaltext.moc"
