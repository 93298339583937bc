#include "app/TerminalText.h"

#include <QTest>

// Preset names reach the terminal through `ventrel list` (the command test lists such names).
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
};

QTEST_GUILESS_MAIN(TestTerminalText)
#include "tst_terminaltext.moc"
