#include "MemoryDefaultsDatabase.h"
#include "StdoutCapture.h"
#include "stores/GeneralSettingsManager.h"

#include <QSignalSpy>
#include <QTest>

using Status = LoginItemService::Status;

namespace {

// Accepts or refuses every change, and logs the requests.
class FakeLoginItemService : public LoginItemService {
public:
    QStringList& log;
    Status current;
    QString refusal; // empty: every change is accepted

    FakeLoginItemService(QStringList& l, Status s, QString r = {}) : log(l), current(s), refusal(std::move(r)) {}
    Status status() const override { return current; }
    std::expected<void, QString> registerService() override { return change("register", Status::enabled); }
    std::expected<void, QString> unregisterService() override { return change("unregister", Status::notRegistered); }
    std::expected<void, QString> change(const QString& call, Status to)
    {
        log << call;
        if (!refusal.isEmpty())
            return std::unexpected(refusal);
        current = to;
        return {};
    }
};

} // namespace

class TestGeneralSettingsManager : public QObject {
    Q_OBJECT

private slots:
    // Only "enabled" reads as on; without a service nothing happens at all.
    void launchAtLoginIsReadFromTheSystem()
    {
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        PresetManager presets(db);
        SnapPositionManager positions(db);
        QStringList log;
        for (Status s : {Status::notRegistered, Status::enabled, Status::requiresApproval, Status::notFound}) {
            auto service = std::make_shared<FakeLoginItemService>(log, s);
            QCOMPARE(GeneralSettingsManager(service, presets, positions).launchAtLogin(), s == Status::enabled);
        }
        GeneralSettingsManager without(nullptr, presets, positions);
        StdoutCapture out;
        without.setLaunchAtLogin(true);
        QVERIFY(!without.launchAtLogin() && out.text().isEmpty() && log.isEmpty());
    }

    void changesOnlyWhatTheSystemAccepts_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("request"); // 1 on, 0 off, -1 reset all settings
        QTest::addColumn<QString>("refusal");
        QTest::newRow("on") << false << 1 << "";
        QTest::newRow("off") << true << 0 << "";
        QTest::newRow("on again still asks") << true << 1 << "";
        QTest::newRow("refused, the text on one line") << false << 1 << "Could not write /tmp/a\nb";
        QTest::newRow("reset") << true << -1 << "";
        QTest::newRow("reset while off still unregisters") << false << -1 << "";
        QTest::newRow("reset, unregistering refused") << true << -1 << "Permission denied";
    }
    // A reset turns launch at login off first, then resets presets, then snap positions.
    void changesOnlyWhatTheSystemAccepts()
    {
        QFETCH(bool, enabled);
        QFETCH(int, request);
        QFETCH(QString, refusal);
        auto db = std::make_shared<MemoryDefaultsDatabase>();
        PresetManager presets(db);
        SnapPositionManager positions(db);
        QVERIFY(presets.addPreset("Mine", 800, 600));
        positions.togglePositionVisibility(SnapPosition::leftThird);
        QStringList log;
        auto service = std::make_shared<FakeLoginItemService>(log, enabled ? Status::enabled : Status::notRegistered, refusal);
        GeneralSettingsManager manager(service, presets, positions);
        connect(&presets, &PresetManager::objectWillChange, this, [&] { log << "presets"; });
        connect(&positions, &SnapPositionManager::objectWillChange, this, [&] { log << "positions"; });
        QSignalSpy willChange(&manager, &GeneralSettingsManager::objectWillChange);

        StdoutCapture out;
        request < 0 ? manager.resetAllSettings() : manager.setLaunchAtLogin(request == 1);
        QCOMPARE(out.text(), refusal.isEmpty() ? "" : "Failed to set launch at login: " + refusal.replace('\n', ' ').toUtf8() + '\n');
        QCOMPARE(manager.launchAtLogin(), refusal.isEmpty() ? request == 1 : enabled);
        QCOMPARE(willChange.size(), refusal.isEmpty() ? 1 : 0);
        log.removeDuplicates();
        QCOMPARE(log, request < 0 ? QStringList({"unregister", "presets", "positions"})
                                  : QStringList(request == 1 ? "register" : "unregister"));
        if (request < 0) {
            QCOMPARE(presets.presets(), WindowPreset::defaultPresets());
            QVERIFY(!db->values.contains(PresetManager::customPresetsKey) && positions.visiblePositions().size() == 7);
        }
    }
};

QTEST_GUILESS_MAIN(TestGeneralSettingsManager)
#include "tst_generalsettingsmanager.moc"
