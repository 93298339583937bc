#include "FakeLoginItemService.h"
#include "MemoryDefaultsDatabase.h"
#include "stores/GeneralSettingsManager.h"

#include <QSignalSpy>
#include <QTest>

using Status = LoginItemService::Status;

class TestGeneralSettingsManager : public QObject {
    Q_OBJECT

private slots:
    void changesOnlyWhatTheSystemAccepts_data()
    {
        QTest::addColumn<Status>("initial"); // only "enabled" reads as on
        QTest::addColumn<int>("request"); // 1 on, 0 off, -1 reset all settings
        QTest::addColumn<QString>("refusal");
        QTest::newRow("on") << Status::notRegistered << 1 << "";
        QTest::newRow("off") << Status::enabled << 0 << "";
        QTest::newRow("refused") << Status::notFound << 1 << "Could not write /tmp/a";
        QTest::newRow("reset while off still unregisters") << Status::notRegistered << -1 << "";
        QTest::newRow("reset, unregistering refused") << Status::enabled << -1 << "Permission denied";
    }
    // A reset turns launch at login off first, then resets presets, then snap positions.
    void changesOnlyWhatTheSystemAccepts()
    {
        QFETCH(Status, initial);
        QFETCH(int, request);
        QFETCH(QString, refusal);
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        PresetManager presets(db);
        SnapPositionManager positions(db);
        QVERIFY(presets.addPreset("Mine", 800, 600));
        positions.togglePositionVisibility(SnapPosition::leftThird);
        GeneralSettingsManager without(nullptr, presets, positions); // where the system has no login items
        without.setLaunchAtLogin(true);
        QVERIFY(!without.launchAtLogin());
        auto service = std::make_shared<FakeLoginItemService>();
        service->current = initial;
        service->refusal = refusal;
        QStringList& log = service->log;
        GeneralSettingsManager manager(service, presets, positions);
        const bool enabled = manager.launchAtLogin();
        QCOMPARE(enabled, initial == Status::enabled);
        connect(&presets, &PresetManager::objectWillChange, this, [&] { log << "presets"; });
        connect(&positions, &SnapPositionManager::objectWillChange, this, [&] { log << "positions"; });
        QSignalSpy willChange(&manager, &GeneralSettingsManager::objectWillChange);
        request < 0 ? manager.resetAllSettings() : manager.setLaunchAtLogin(request);
        QCOMPARE(manager.launchAtLogin(), refusal.isEmpty() ? request == 1 : enabled);
        QCOMPARE(willChange.size(), refusal.isEmpty() ? 1 : 0);
        log.removeDuplicates();
        QCOMPARE(log, request < 0 ? QStringList({"unregister", "presets", "positions"})
                                  : QStringList(request == 1 ? "register" : "unregister"));
        if (request < 0)
            QVERIFY(presets.presets() == WindowPreset::defaultPresets() && positions.visiblePositions().size() == 7 &&
                    !db->values.contains(SettingsKeys::customPresets));
    }
};

QTEST_GUILESS_MAIN(TestGeneralSettingsManager)
#include "tst_generalsettingsmanager.moc"
