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

private slots:
    // An untrusted runtime folder never puts the socket somewhere shared.
    void channelFolderIsPrivate_data()
    {
        QTest::addColumn<QString>("runtime");  // a folder of the test ("run" 0700, "open" 0777), "-": unset
        QTest::addColumn<QString>("planted");  // at <tmp>/ventrel-<uid>: "open", "link", "nobody"'s
        QTest::addColumn<QString>("expected"); // the folder, or "!" and the refusal
        const QString fallback = QString("tmp/ventrel-%1").arg(getuid());
        QTest::newRow("private runtime") << "run" << "" << "run/ventrel";
        QTest::newRow("no runtime") << "-" << "" << fallback;
        QTest::newRow("relative runtime") << "relative" << "" << fallback;
        QTest::newRow("shared runtime") << "open" << "" << fallback;
        QTest::newRow("fallback open to all") << "-" << "open" << "!can be reached by other users";
        QTest::newRow("fallback is a link") << "-" << "link" << "!is not a folder";
        QTest::newRow("fallback of another user") << "-" << "nobody" << "!belongs to another user";
    }
    void channelFolderIsPrivate()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, planted);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const auto path = [&](const QString& name) { return QFile::encodeName(dir.filePath(name)); };
        const QByteArray fallback = path(QString("tmp/ventrel-%1").arg(getuid()));
        QVERIFY(::mkdir(path("tmp"), 0700) == 0 && ::mkdir(path("run"), 0700) == 0 && ::mkdir(path("open"), 0) == 0);
        ::chmod(path("open"), 0777);
        if (planted == "link")
            QVERIFY(::symlink(path("run"), fallback) == 0);
        else if (!planted.isEmpty())
            QVERIFY(::mkdir(fallback, 0) == 0 && ::chmod(fallback, 0777) == 0);
        if (planted == "nobody" && ::chown(fallback, 65534, 65534) != 0)
            QSKIP("only root can give a folder to another user");
        qputenv("TMPDIR", path("tmp"));
        qputenv("XDG_RUNTIME_DIR", runtime == "relative" ? "run" : path(runtime));
        if (runtime == "-")
            qunsetenv("XDG_RUNTIME_DIR");
        const auto folder = SingleInstance::privateFolder();
        qunsetenv("TMPDIR");
        if (expected.startsWith('!')) {
            QVERIFY2(!folder && folder.error().endsWith(expected.mid(1)), qPrintable(folder.value_or("no error")));
            return;
        }
        QCOMPARE(folder.value_or(folder.error()), dir.filePath(expected));
        struct stat info {};
        QVERIFY(::lstat(QFile::encodeName(*folder), &info) == 0 && info.st_uid == getuid() && (info.st_mode & 07777) == 0700);
    }

    // Whatever a client sends, the running instance holds one short line for it, and not for long.
    void channelIsBounded_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("settings") << QByteArray("settings\n") << QByteArray("ok\n");
        QTest::newRow("unknown") << QByteArray("v9 settings\n") << QByteArray("unknown request\n");
        QTest::newRow("idle") << QByteArray("settings") << QByteArray();
        QTest::newRow("endless line") << QByteArray(16 * 1024 * 1024, 's') << QByteArray();
        QTest::newRow("long line") << QByteArray(300, 's') + "\nsettings\n" << QByteArray();
    }
    void channelIsBounded()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, reply);
        QTemporaryDir folder;
        SingleInstance instance(folder.path(), {300ms, 4, 1s});
        QCOMPARE(instance.start().role, SingleInstance::Role::primary);
        QSignalSpy requested(&instance, &SingleInstance::settingsRequested);
        QLocalSocket client;
        client.connectToServer(instance.socketPath());
        QVERIFY(client.waitForConnected(1000));
        client.write(sent);
        QByteArray received;
        connect(&client, &QLocalSocket::readyRead, this, [&] { received += client.readAll(); });
        QTRY_VERIFY_WITH_TIMEOUT(client.state() == QLocalSocket::UnconnectedState, 5000);
        QCOMPARE(received, reply);
        QCOMPARE(requested.size(), reply == "ok\n" ? 1 : 0);
    }

    // Real processes started at once: exactly one stays, every other one hands
    // over and exits 0 (a later one is the keyboard suite's second launch).
    void simultaneousStartsLeaveOne()
    {
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()), 0700) == 0);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", dir.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        std::vector<std::unique_ptr<QProcess>> starts(5);
        for (auto& p : starts) {
            p = std::make_unique<QProcess>();
            p->setProcessEnvironment(env);
            p->start(VENTREL_BINARY, {});
        }
        const auto outcomes = [&] {
            QStringList all;
            for (auto& p : starts)
                all << (p->state() != QProcess::NotRunning ? "running" : QString("exit %1").arg(p->exitCode()));
            all.sort();
            return all.join(' ');
        };
        QTRY_COMPARE_WITH_TIMEOUT(outcomes(), "exit 0 exit 0 exit 0 exit 0 running", 60000);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
