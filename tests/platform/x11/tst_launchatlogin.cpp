#include "platform/x11/XdgAutostartService.h"
#include "stores/FeedUpdaterController.h"
#include "stores/GeneralSettingsManager.h"
#include "stores/SettingsDefaultsDatabase.h"
#include "stores/SettingsFile.h"
#include "stores/StdoutCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The General settings store over the real autostart entry of this test
// program, in a temporary XDG_CONFIG_HOME, with a real settings file.
class TestLaunchAtLogin : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<SettingsDefaultsDatabase> m_defaults;
    std::unique_ptr<PresetManager> m_presets;
    std::unique_ptr<SnapPositionManager> m_positions;

    QString entryPath() const { return m_dir->filePath("config/autostart/ventrel.desktop"); }

    std::unique_ptr<GeneralSettingsManager> createManager()
    {
        return std::make_unique<GeneralSettingsManager>(LoginItemService::create(), *m_presets, *m_positions);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toUtf8());
        m_defaults = std::make_shared<SettingsDefaultsDatabase>(m_dir->filePath("Ventrel.conf"));
        m_presets = std::make_unique<PresetManager>(m_defaults);
        m_positions = std::make_unique<SnapPositionManager>(m_defaults);
    }

    void unwritableFolderPrintsTheFailure()
    {
        qputenv("XDG_CONFIG_HOME", "/sys");
        auto manager = createManager();
        StdoutCapture out;
        manager->setLaunchAtLogin(true);
        QCOMPARE(out.text(), "Failed to set launch at login: Could not create the folder /sys/autostart.\n");
        QVERIFY(!manager->launchAtLogin());
    }

    void switchedOffEntryReadsOffAndResetRemovesIt()
    {
        QVERIFY(QDir().mkpath(QFileInfo(entryPath()).path()));
        QFile entry(entryPath());
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Ventrel\nExec="
                    + XdgAutostartService::execValue(QCoreApplication::applicationFilePath()).toUtf8()
                    + "\nHidden=true\n");
        entry.close();
        {
            QSettings updater(m_dir->filePath("Ventrel.conf"), QSettings::IniFormat);
            updater.setValue(FeedUpdaterController::automaticChecksKey, true);
            updater.setValue(FeedUpdaterController::lastCheckTimeKey, "2026-03-01T12:00:00.000Z");
        }
        QVERIFY(m_presets->addPreset("Mine", 800, 600).has_value());

        auto manager = createManager();
        QVERIFY(!manager->launchAtLogin());
        StdoutCapture out;
        manager->resetAllSettings();
        QCOMPARE(out.text(), QByteArray());
        // Already off, yet the entry switched off elsewhere is gone too.
        QVERIFY(!QFile::exists(entryPath()));

        QCOMPARE(m_presets->presets(), WindowPreset::defaultPresets());
        QSettings reread(SettingsFile::copyForRestart(m_dir->filePath("Ventrel.conf"), m_dir->filePath("Reread.conf")),
                         QSettings::IniFormat);
        QCOMPARE(reread.value(FeedUpdaterController::automaticChecksKey).toBool(), true);
        QCOMPARE(reread.value(FeedUpdaterController::lastCheckTimeKey).toString(), "2026-03-01T12:00:00.000Z");
        QVERIFY(!reread.contains(PresetManager::customPresetsKey));
    }
};

QTEST_GUILESS_MAIN(TestLaunchAtLogin)
#include "tst_launchatlogin.moc"
