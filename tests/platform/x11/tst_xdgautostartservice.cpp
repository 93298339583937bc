#include "platform/x11/XdgAutostartService.h"
#include "stores/SettingsFile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Status = LoginItemService::Status;

// The autostart entry on disk.
class TestXdgAutostartService : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;

    QString configHome() const { return m_home->filePath("config home"); }
    QString entryPath() const { return configHome() + "/autostart/app.ventrel.Ventrel.desktop"; }

private slots:
    void init() { m_home = std::make_unique<QTemporaryDir>(); }

    void readsEntriesItDidNotWrite_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<Status>("status");
        const QByteArray head = "# written by hand\n[Desktop Entry]\nType=Application\nName=Ventrel\n";
        QTest::newRow("ours, with arguments") << head + "Exec = /usr/bin/ventrel --quiet\n" << Status::enabled;
        QTest::newRow("hidden") << head + "Exec=/usr/bin/ventrel\nHidden=true\n" << Status::requiresApproval;
        QTest::newRow("off in GNOME") << head + "Exec=/usr/bin/ventrel\nX-GNOME-Autostart-enabled=false\n" << Status::requiresApproval;
        QTest::newRow("another copy") << head + "Exec=/opt/old/ventrel\n" << Status::notRegistered;
        QTest::newRow("unclosed quote") << head + "Exec=\"/usr/bin/ventrel\n" << Status::notRegistered;
        QTest::newRow("Exec in another group") << head + "[Desktop Action quiet]\nExec=/usr/bin/ventrel\n" << Status::notRegistered;
        QTest::newRow("not a desktop entry") << QByteArray("Exec=/usr/bin/ventrel\n") << Status::notFound;
    }

    void readsEntriesItDidNotWrite()
    {
        QFETCH(QByteArray, contents);
        QFETCH(Status, status);
        QVERIFY(SettingsFiles::write(entryPath(), contents));
        QCOMPARE(XdgAutostartService(configHome(), "/usr/bin/ventrel").status(), status);
    }

    // A write or removal that fails says why, rather than passing for success.
    void failuresAreDescribed()
    {
        QVERIFY(QDir().mkpath(entryPath() + "/inside")); // a folder where the entry goes
        XdgAutostartService service(configHome(), "/usr/bin/ventrel");
        const auto registered = service.registerService();
        QVERIFY(!registered && registered.error().startsWith("Could not write"));
        const auto unregistered = service.unregisterService();
        QVERIFY(!unregistered && unregistered.error().startsWith("Could not remove"));
    }

    // Launch at login switched on before the entry took the application id keeps working.
    void adoptsTheFormerEntry()
    {
        const QString former = configHome() + "/autostart/ventrel.desktop";
        QVERIFY(SettingsFiles::write(former, "[Desktop Entry]\nType=Application\nName=Ventrel\nExec=/usr/bin/ventrel\n"));
        XdgAutostartService service(configHome(), "/usr/bin/ventrel");
        QVERIFY(service.adoptFormerEntry() && !QFile::exists(former));
        QCOMPARE(service.status(), Status::enabled);
        QVERIFY(!service.adoptFormerEntry());
    }

    // Whatever the program's path, the entry reads back as ours, goes and
    // comes back, the freedesktop.org validator accepts it without a remark,
    // and GLib's own launcher starts it; a link planted at the entry's path is
    // replaced, not written through.
    void entryStartsTheProgramFromAnyPath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("spaces") << "My Apps";
        QTest::newRow("shell characters") << "a$b`c\"d";
        QTest::newRow("backslash") << "back\\slash";
        QTest::newRow("percent") << "100% sure";
        QTest::newRow("carriage return") << "line\rend";
        QTest::newRow("non-ASCII") << "zoë";
    }

    void entryStartsTheProgramFromAnyPath()
    {
        QFETCH(QString, folder);
        const QString program = m_home->filePath(folder + "/ventrel"), marker = m_home->filePath("started");
        QVERIFY(SettingsFiles::write(program, "#!/bin/sh\necho started > '" + marker.toUtf8() + "'\n"));
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
        const QString target = m_home->filePath("precious");
        QVERIFY(SettingsFiles::write(target, "precious") && SettingsFiles::write(entryPath(), {}));
        QVERIFY(QFile::remove(entryPath()) && QFile::link(target, entryPath()));
        XdgAutostartService service(configHome(), program);
        QVERIFY(service.registerService().has_value());
        QCOMPARE(service.status(), Status::enabled);
        QVERIFY(SettingsFiles::read(target) == "precious" && !QFileInfo(entryPath()).isSymLink());
        // With the hints that make panels start it after the tray.
        const QByteArray entry = SettingsFiles::read(entryPath());
        QVERIFY(entry.contains("\nX-KDE-autostart-after=panel\n") && entry.contains("\nX-LXQt-Need-Tray=true\n"));
        QVERIFY(service.unregisterService().has_value() && !QFile::exists(entryPath()));
        QCOMPARE(service.status(), Status::notRegistered);
        QVERIFY(service.unregisterService().has_value()); // already gone is success
        QVERIFY(service.registerService().has_value());
        QProcess validator;
        validator.start("desktop-file-validate", {entryPath()});
        QVERIFY2(validator.waitForFinished(), "desktop-file-validate did not run: scripts/install-deps.sh installs it");
        const QByteArray remarks = validator.readAllStandardOutput() + validator.readAllStandardError();
        QVERIFY2(validator.exitCode() == 0 && remarks.isEmpty(), remarks.constData());
        if (QStandardPaths::findExecutable("gio").isEmpty())
            QSKIP("gio (libglib2.0-bin) is not installed");
        QProcess gio;
        gio.start("gio", {"launch", entryPath()});
        QVERIFY(gio.waitForFinished(10000) && gio.exitCode() == 0);
        QTRY_COMPARE_WITH_TIMEOUT(SettingsFiles::read(marker), "started\n", 10000);
    }

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
