#include "app/SingleInstance.h"

#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

class TestSingleInstance : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // Started as the user would, with this test's private runtime folder.
    QProcess* trayApp(const QString& runtime)
    {
        auto* process = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        process->setProcessEnvironment(env);
        process->start(VENTREL_BINARY, {});
        return process;
    }

private slots:
    // A runtime folder that cannot be trusted never puts the socket somewhere
    // shared: the channel moves to a private folder of ours, or is refused.
    void channelFolderIsPrivate_data()
    {
        QTest::addColumn<QString>("runtime");  // relative to the test folder; "-": unset
        QTest::addColumn<int>("runtimeMode");
        QTest::addColumn<QString>("planted"); // what is already at <tmp>/ventrel-<uid>
        QTest::addColumn<QString>("expected"); // the folder, relative; or the start of the refusal
        const QString fallback = QString("tmp/ventrel-%1").arg(getuid());
        QTest::newRow("private runtime") << "run" << 0700 << "" << "run/ventrel";
        QTest::newRow("no runtime") << "-" << 0 << "" << fallback;
        QTest::newRow("relative runtime") << "." << 0 << "" << fallback;
        QTest::newRow("shared runtime") << "run" << 0777 << "" << fallback;
        QTest::newRow("fallback open to all") << "-" << 0 << "folder 0777" << "ERR can be reached by other users";
        QTest::newRow("fallback is a link") << "-" << 0 << "link" << "ERR is not a folder";
        if (getuid() == 0)
            QTest::newRow("fallback of another user") << "-" << 0 << "folder nobody" << "ERR belongs to another user";
    }
    void channelFolderIsPrivate()
    {
        QFETCH(QString, runtime);
        QFETCH(int, runtimeMode);
        QFETCH(QString, planted);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString tmp = dir.filePath("tmp"), fallback = QString("%1/ventrel-%2").arg(tmp).arg(getuid());
        QVERIFY(QDir().mkpath(tmp) && QDir().mkpath(dir.filePath("run")));
        ::chmod(QFile::encodeName(dir.filePath("run")).constData(), mode_t(runtimeMode));
        if (planted.startsWith("folder")) {
            QVERIFY(QDir().mkpath(fallback));
            ::chmod(QFile::encodeName(fallback).constData(), 0777);
            if (planted.endsWith("nobody"))
                QCOMPARE(::chown(QFile::encodeName(fallback).constData(), 65534, 65534), 0);
        } else if (planted == "link") {
            QVERIFY(QFile::link(dir.path(), fallback));
        }
        qputenv("TMPDIR", tmp.toUtf8());
        if (runtime == "-")
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtime == "." ? "run" : dir.filePath(runtime).toUtf8());
        const auto folder = SingleInstance::privateFolder();
        qunsetenv("TMPDIR");
        if (expected.startsWith("ERR ")) {
            QVERIFY2(!folder && folder.error().contains(expected.mid(4)), qPrintable(folder.value_or("no error")));
            return;
        }
        QVERIFY2(folder, qPrintable(folder.error()));
        QCOMPARE(*folder, dir.filePath(expected));
        struct stat info {};
        QVERIFY(::lstat(QFile::encodeName(*folder).constData(), &info) == 0);
        QVERIFY(S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 0777) == 0700);
    }

    // Whatever a client sends, the running instance holds at most one short
    // line for it, and not for long; only a well-formed request does anything.
    void channelIsBounded_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("requests");
        QTest::newRow("settings") << QByteArray("settings\n") << QByteArray("ok\n") << 1;
        QTest::newRow("unknown") << QByteArray("v9 settings\n") << QByteArray("unknown request\n") << 0;
        QTest::newRow("idle") << QByteArray() << QByteArray() << 0;
        QTest::newRow("no newline") << QByteArray("settings") << QByteArray() << 0;
        QTest::newRow("endless line") << QByteArray(16 * 1024 * 1024, 's') << QByteArray() << 0;
        QTest::newRow("long line") << QByteArray(300, 's') + "\nsettings\n" << QByteArray() << 0;
    }
    void channelIsBounded()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, reply);
        QFETCH(int, requests);
        QTemporaryDir folder;
        SingleInstance instance(folder.path(), {300ms, 4, 1s});
        QCOMPARE(instance.start().role, SingleInstance::Role::primary);
        QSignalSpy requested(&instance, &SingleInstance::settingsRequested);
        // More idle connections than allowed: the extra one is dropped at once, the rest when idle.
        std::vector<std::unique_ptr<QLocalSocket>> idle(5);
        for (auto& socket : idle)
            (socket = std::make_unique<QLocalSocket>())->connectToServer(instance.socketPath());
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(idle.cbegin(), idle.cend(), [](auto& s) { return s->state() == QLocalSocket::UnconnectedState; }), 5000);
        QLocalSocket client;
        client.connectToServer(instance.socketPath());
        QVERIFY(client.waitForConnected(1000));
        client.write(sent);
        QByteArray received;
        connect(&client, &QLocalSocket::readyRead, this, [&] { received += client.readAll(); });
        QTRY_VERIFY_WITH_TIMEOUT(client.state() == QLocalSocket::UnconnectedState, 5000);
        QCOMPARE(received, reply);
        QCOMPARE(requested.size(), requests);
    }

    // Several starts at the same moment, real processes: exactly one stays
    // running, every other one hands over and exits 0, and so does a later one.
    void simultaneousStartsLeaveOne()
    {
        const QString runtime = m_dir.filePath("runtime");
        QVERIFY(QDir().mkpath(runtime));
        ::chmod(QFile::encodeName(runtime).constData(), 0700);
        QList<QProcess*> starts;
        for (int i = 0; i < 5; ++i)
            starts << trayApp(runtime);
        const auto finished = [&] { return std::count_if(starts.cbegin(), starts.cend(), [](QProcess* p) { return p->state() == QProcess::NotRunning; }); };
        QTRY_COMPARE_WITH_TIMEOUT(finished(), 4, 60000);
        QStringList outcomes;
        for (QProcess* p : std::as_const(starts))
            outcomes << (p->state() == QProcess::Running ? "running" : QString("exit %1").arg(p->exitCode()));
        outcomes.sort();
        QCOMPARE(outcomes, (QStringList{"exit 0", "exit 0", "exit 0", "exit 0", "running"}));
        QProcess* later = trayApp(runtime);
        QVERIFY(later->waitForFinished(30000));
        QCOMPARE(later->exitCode(), 0);
        QVERIFY(finished() == 4);
        for (QProcess* p : std::as_const(starts))
            p->kill(), p->waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
