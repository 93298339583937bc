#include "platform/x11/XdgAutostartService.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using Status = LoginItemService::Status;

class TestXdgAutostartService : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;

    QString configHome() const { return m_home->filePath("config home"); }

    void writeEntry(const QByteArray& contents)
    {
        QVERIFY(QDir().mkpath(configHome() + "/autostart"));
        QFile file(configHome() + "/autostart/ventrel.desktop");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    // The freedesktop.org validator (desktop-file-utils) must accept the entry without a remark.
    static void validate(const QString& path)
    {
        QProcess validator;
        validator.setProcessChannelMode(QProcess::MergedChannels);
        validator.start("desktop-file-validate", {path});
        QVERIFY2(validator.waitForFinished(), "desktop-file-validate did not run: scripts/install-deps.sh installs it");
        const QByteArray remarks = validator.readAll();
        QVERIFY2(validator.exitCode() == 0 && remarks.isEmpty(), remarks.constData());
    }

    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

private slots:
    void init() { m_home = std::make_unique<QTemporaryDir>(); }

    void writesAValidEntry()
    {
        XdgAutostartService service(configHome(), "/opt/Ventrel Apps/bin/ventrel");
        QVERIFY(service.registerService().has_value());
        QCOMPARE(service.entryPath(), configHome() + "/autostart/ventrel.desktop");
        QCOMPARE(readAll(service.entryPath()),
                 "[Desktop Entry]\n"
                 "Type=Application\n"
                 "Name=Ventrel\n"
                 "Comment=Resize and move the focused window from the system tray\n"
                 "Exec=\"/opt/Ventrel Apps/bin/ventrel\"\n"
                 "Terminal=false\n"
                 "X-GNOME-Autostart-enabled=true\n"
                 "X-KDE-autostart-after=panel\n"
                 "X-LXQt-Need-Tray=true\n");
        validate(service.entryPath());
    }

    void roundTripsAnyPath_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/ventrel" << "/usr/bin/ventrel";
        QTest::newRow("spaces") << "/home/ann/My Apps/ventrel" << "\"/home/ann/My Apps/ventrel\"";
        QTest::newRow("shell characters") << "/opt/a$b`c\"d/ventrel" << "\"/opt/a\\\\$b\\\\`c\\\\\"d/ventrel\"";
        QTest::newRow("backslash") << "/opt/back\\slash/ventrel" << "\"/opt/back\\\\\\\\slash/ventrel\"";
        QTest::newRow("percent") << "/opt/100%/ventrel" << "/opt/100%%/ventrel";
        QTest::newRow("non-ASCII") << "/home/zoë/Programme/ventrel" << "/home/zoë/Programme/ventrel";
    }

    void roundTripsAnyPath()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        XdgAutostartService service(configHome(), program);
        QCOMPARE(service.status(), Status::notRegistered);

        QVERIFY(service.registerService().has_value());
        QVERIFY(readAll(service.entryPath()).contains(("\nExec=" + exec + "\n").toUtf8()));
        validate(service.entryPath());
        QCOMPARE(XdgAutostartService::programFromExec(XdgAutostartService::execValue(program)), program);
        QCOMPARE(service.status(), Status::enabled);
        // A second registration replaces the entry rather than failing.
        QVERIFY(service.registerService().has_value());

        QVERIFY(service.unregisterService().has_value());
        QVERIFY(!QFile::exists(service.entryPath()));
        QCOMPARE(service.status(), Status::notRegistered);
        // Already gone is success.
        QVERIFY(service.unregisterService().has_value());
    }

    void readsEntriesItDidNotWrite_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<Status>("status");
        const QByteArray head = "# written by hand\n[Desktop Entry]\nType=Application\nName=Ventrel\n";
        QTest::newRow("ours, with arguments") << head + "Exec = /usr/bin/ventrel --quiet\n" << Status::enabled;
        QTest::newRow("ours, quoted") << head + "Exec=\"/usr/bin/ventrel\" %U\n" << Status::enabled;
        QTest::newRow("hidden") << head + "Exec=/usr/bin/ventrel\nHidden=true\n" << Status::requiresApproval;
        QTest::newRow("switched off in GNOME") << head + "Exec=/usr/bin/ventrel\nX-GNOME-Autostart-enabled=false\n"
                                               << Status::requiresApproval;
        QTest::newRow("another copy") << head + "Exec=/opt/old/ventrel\n" << Status::notRegistered;
        QTest::newRow("no Exec") << head << Status::notRegistered;
        QTest::newRow("unclosed quote") << head + "Exec=\"/usr/bin/ventrel\n" << Status::notRegistered;
        QTest::newRow("Exec in another group")
            << head + "[Desktop Action quiet]\nExec=/usr/bin/ventrel\n" << Status::notRegistered;
        QTest::newRow("not a desktop entry") << QByteArray("Exec=/usr/bin/ventrel\n") << Status::notFound;
    }

    void readsEntriesItDidNotWrite()
    {
        QFETCH(QByteArray, contents);
        QFETCH(Status, status);
        writeEntry(contents);
        XdgAutostartService service(configHome(), "/usr/bin/ventrel");
        QCOMPARE(service.status(), status);
    }

    void failuresAreDescribed_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("registerError");   // prefix; empty: registration works
        QTest::addColumn<QString>("unregisterError"); // prefix; empty: unregistration works
        QTest::newRow("config home unwritable") << "/sys" << "Could not create the folder /sys/autostart." << "";
        QTest::newRow("file in place of the folder") << "autostart is a file" << "Could not create the folder" << "";
        QTest::newRow("folder in place of the entry")
            << "entry is a folder" << "Could not write" << "Could not remove";
        QTest::newRow("read-only folder") << "read-only" << "Could not write" << "Could not remove";
    }

    void failuresAreDescribed()
    {
        QFETCH(QString, obstacle);
        QFETCH(QString, registerError);
        QFETCH(QString, unregisterError);
        QString home = configHome();
        QString entry = configHome() + "/autostart/ventrel.desktop";
        if (obstacle == "/sys") {
            home = "/sys";
        } else if (obstacle == "autostart is a file") {
            QVERIFY(QDir().mkpath(home));
            QFile file(home + "/autostart");
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (obstacle == "entry is a folder") {
            QVERIFY(QDir().mkpath(entry + "/inside"));
        } else if (obstacle == "read-only") {
            if (geteuid() == 0)
                QSKIP("root writes into read-only folders; the /sys row covers this");
            writeEntry("[Desktop Entry]\nExec=/usr/bin/ventrel\n");
            QVERIFY(QFile::setPermissions(home + "/autostart", QFile::ReadOwner | QFile::ExeOwner));
        }
        XdgAutostartService service(home, "/usr/bin/ventrel");

        const auto registered = service.registerService();
        QCOMPARE(registered.has_value(), registerError.isEmpty());
        if (!registered)
            QVERIFY2(registered.error().startsWith(registerError), qPrintable(registered.error()));
        const auto unregistered = service.unregisterService();
        QCOMPARE(unregistered.has_value(), unregisterError.isEmpty());
        if (!unregistered)
            QVERIFY2(unregistered.error().startsWith(unregisterError), qPrintable(unregistered.error()));

        QFile::setPermissions(home + "/autostart", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The folder from XDG_CONFIG_HOME is covered where the settings store uses the service.
    void appImageIsStartedRatherThanItsMountedBinary()
    {
        qputenv("APPIMAGE", "/home/ann/Apps/Ventrel.AppImage");
        const auto service = XdgAutostartService::forCurrentProcess();
        qunsetenv("APPIMAGE");
        QVERIFY(service->entryContents().contains("\nExec=/home/ann/Apps/Ventrel.AppImage\n"));
    }
};

QTEST_GUILESS_MAIN(TestXdgAutostartService)
#include "tst_xdgautostartservice.moc"
