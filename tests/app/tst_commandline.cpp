#include "app/CommandLine.h"
#include "app/TerminalText.h"
#include "stores/PresetManager.h"
#include "stores/SettingsDefaultsDatabase.h"
#include "stores/SnapPositionManager.h"
#include "window/FakeWindowSystem.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class CommandLineTest : public QObject {
    Q_OBJECT

    struct Result {
        int status;
        QString out, err;
    };
    QTemporaryDir m_dir;
    std::shared_ptr<DefaultsDatabase> m_defaults;
    std::unique_ptr<FakeWindowSystem> m_fake;
    bool m_usedWindowSystem = false;
    bool m_usedDefaults = false;

    Result run(const QStringList& arguments)
    {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const auto windowSystem = [this]() -> WindowSystem& {
            m_usedWindowSystem = true;
            return *m_fake;
        };
        const auto defaults = [this] {
            m_usedDefaults = true;
            return m_defaults;
        };
        const int status = CommandLine(windowSystem, defaults, outStream, errStream, {}).run(arguments);
        return {status, out, err};
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath("settings.ini"));
        m_defaults = std::make_shared<SettingsDefaultsDatabase>(m_dir.filePath("settings.ini"));
        PresetManager presets(m_defaults);
        QVERIFY(presets.addPreset("Caf\u00e9", 1000, 700)); // a name with an accent, precomposed
        presets.togglePresetVisibility(WindowPreset::defaultPresets().at(2).id); // Full HD, hidden
        m_fake = std::make_unique<FakeWindowSystem>();
        m_usedWindowSystem = m_usedDefaults = false;
    }

    void parseSize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("expected"); // invalid: refused
        QTest::newRow("largest") << "32767x32767" << QSize(32767, 32767);
        for (const char* bad : {"", "x900", "0x900", "32768x900", "99999999999x900", "+5x900", " 1440x900", "1440.5x900", "1440x900x2", "１４４０x900"})
            QTest::addRow("refused \"%s\"", bad) << QString::fromUtf8(bad) << QSize();
    }

    void parseSize()
    {
        QFETCH(QString, text);
        QTEST(CommandLine::parseSize(text).value_or(QSize()), "expected");
    }

    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err"); // exact; for usage errors the first line
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<bool>("usesWindowSystem");
        QTest::addColumn<bool>("usesDefaults");
        const auto args = [](const char* text) { return QString::fromUtf8(text).split(u'|'); };
        const QStringList nothing;
        // The fake's main screen is 1440×900 with a 875-high work area. Without
        // --screen the choice stored in the settings holds, so they are read.
        QTest::newRow("resize") << args("resize|800×600") << true << 0 << "" << QStringList{"size 800x600"} << true << true;
        QTest::newRow("snap") << args("snap|rightThird") << true << 0 << "" << QStringList{"frame 960,25 480x875"} << true << true;
        QTest::newRow("screen given, settings unread")
            << args("--screen|window|snap|rightThird") << true << 0 << "" << QStringList{"frame 960,25 480x875"} << true << false;
        QTest::newRow("not allowed")
            << args("resize|800x600") << false << 1
            << "Accessibility permission not granted. Please enable it in System Preferences.\n" << nothing << true << true;
        // Names match as the store matches them (the rule is the store's test): here, that the command asks it.
        QTest::newRow("apply, case and white space around") // to a hidden preset
            << args("apply| \tfull hd\n") << true << 0 << "" << QStringList{"size 1440x875"} << true << true;
        QTest::newRow("apply, decomposed accent") << args("apply|CAFE\u0301") << true << 0 << "" << QStringList{"size 1000x700"} << true << true;
        QTest::newRow("apply, inner space kept") << args("apply|FullHD") << true << 2 << "ventrel: no preset is named \"FullHD\"; "
                                                    "\"ventrel list\" shows them" << nothing << false << true;
        // After "--" nothing is an option: a preset may be called "--help".
        QTest::newRow("words after --") << args("apply|--|--help") << true << 2 << "ventrel: no preset is named \"--help\"; "
                                           "\"ventrel list\" shows them" << nothing << false << true;
        QTest::newRow("bad screen") << args("--screen|sideways|snap|leftHalf") << true << 2
                                    << "ventrel: --screen takes main or window, not \"sideways\"" << nothing << false << false;
        QTest::newRow("unknown option") << args("snap|--fast|leftHalf") << true << 2 << "ventrel: unknown option \"--fast\""
                                        << nothing << false << false;
        // Usage errors never reach the window system.
        const QString positions = "leftHalf, rightHalf, leftThird, centerThird, rightThird, topHalf, bottomHalf";
        QTest::newRow("no command") << QStringList() << true << 2 << "ventrel: no command given" << nothing << false << false;
        QTest::newRow("snap without position")
            << args("snap") << true << 2 << "ventrel: snap takes one position: " + positions << nothing << false << false;
        QTest::newRow("help after a command") << args("snap|--help") << true << 0 << "" << nothing << false << false;
    }

    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, trusted);
        QFETCH(int, status);
        QFETCH(QString, err);
        QFETCH(QStringList, writes);
        QFETCH(bool, usesWindowSystem);
        QFETCH(bool, usesDefaults);
        m_fake->trusted = trusted;
        const Result result = run(arguments);
        QCOMPARE(result.status, status);
        if (status == CommandLine::usageError) {
            QCOMPARE(result.err.section(u'\n', 0, 0), err);
            QVERIFY(result.err.endsWith(CommandLine::usage()));
            QCOMPARE(result.out, QString());
        } else {
            QCOMPARE(result.err, err);
        }
        QCOMPARE(m_fake->calls.filter(QRegularExpression("^(frame|size) ")), writes);
        QCOMPARE(m_fake->liveWindows, 0);
        QCOMPARE(m_usedWindowSystem, usesWindowSystem);
        QCOMPARE(m_usedDefaults, usesDefaults);
        if (status == 0 && arguments.contains("--help"))
            QCOMPARE(result.out, CommandLine::usage());
    }

    void resultsSayWhatTheWindowGot()
    {
        // A terminal keeps to its character cells: the line tells both frames.
        m_fake->settle = [](const QRectF&, const QRectF& r) { return r.adjusted(0, 0, -3, -5); };
        Result plain = run({"snap", "leftHalf"});
        QCOMPARE(plain.out, QString("requested 720×875 at 0,25, got 717×870 at 0,25\n"));
        Result json = run({"--json", "snap", "leftHalf"});
        QCOMPARE(json.status, 0);
        QCOMPARE(QJsonDocument::fromJson(json.out.toUtf8()).object(),
                 QJsonObject({{"command", "snap"}, {"position", "leftHalf"}, {"backend", "fake"}, {"screen", "main"},
                              {"ok", true}, {"requested", QJsonObject{{"x", 0}, {"y", 25}, {"width", 720}, {"height", 875}}},
                              {"achieved", QJsonObject{{"x", 0}, {"y", 25}, {"width", 717}, {"height", 870}}}}));
        m_fake->writeError = PlatformError::windowGone;
        json = run({"resize", "--json", "800x600"});
        QCOMPARE(json.status, 1);
        QCOMPARE(json.err, QString());
        const QJsonObject failure = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE((QStringList{failure["error"].toString(), failure["message"].toString(), failure["detail"].toString()}),
                 (QStringList{"resizeFailed", "Failed to resize window.", "the window went away"}));
        // Usage errors too are one object.
        QCOMPARE(QJsonDocument::fromJson(run({"--json", "snap"}).out.toUtf8()).object()["error"].toString(), "usage");
    }

    // Hidden items (Full HD, and centerThird here) say so, and the columns stay
    // aligned past an accented name; the display order is the keyboard suite's,
    // read through `ventrel list`. A 10 MB name and an escape sequence leave the
    // listing a few lines long and without an escape character.
    void listShowsVisibilityAndStaysInert()
    {
        SnapPositionManager(m_defaults).togglePositionVisibility(SnapPosition::centerThird);
        const Result result = run({"list"});
        QVERIFY(result.status == 0 && result.err.isEmpty() && !m_usedWindowSystem);
        const QStringList lines = result.out.split(u'\n');
        QCOMPARE(lines.filter("hidden"), (QStringList{"  Full HD      1920×1080    hidden", "  centerThird   Center Third   hidden"}));
        QVERIFY(lines.contains("  Café         1000×700     shown"));
        PresetManager presets(m_defaults);
        QVERIFY(presets.addPreset(QString(10 * 1024 * 1024, 'n'), 800, 600) && presets.addPreset("\x1b[31mred", 640, 480));
        const QString out = run({"list"}).out;
        QVERIFY2(out.size() < 2000, qPrintable(QString::number(out.size())));
        QVERIFY(out.contains("\uFFFD[31mred") && !out.contains(QChar(0x1b)));
    }

    // Names reach the terminal through `ventrel list`: nothing in them may act on it.
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
        QTEST(TerminalText::safeName(name), "shown");
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
