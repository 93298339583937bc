#include "stores/GeneralSettingsManager.h"
#include "stores/MemoryDefaultsDatabase.h"
#include "stores/StdoutCapture.h"

#include <QSignalSpy>
#include <QTest>

using Status = LoginItemService::Status;

namespace {

// Answers from its fields and writes every request into a shared log.
class FakeLoginItemService : public LoginItemService {
public:
    QStringList& log;
    Status current = Status::notRegistered;
    QString registerError;   // empty: the system accepts
    QString unregisterError; // empty: the system accepts

    explicit FakeLoginItemService(QStringList& sharedLog) : log(sharedLog) {}

    Status status() const override
    {
        log << "status";
        return current;
    }
    std::expected<void, QString> registerService() override
    {
        log << "register";
        if (!registerError.isEmpty())
            return std::unexpected(registerError);
        current = Status::enabled;
        return {};
    }
    std::expected<void, QString> unregisterService() override
    {
        log << "unregister";
        if (!unregisterError.isEmpty())
            return std::unexpected(unregisterError);
        current = Status::notRegistered;
        return {};
    }
};

} // namespace

class TestGeneralSettingsManager : public QObject {
    Q_OBJECT

    QStringList m_log;
    std::shared_ptr<MemoryDefaultsDatabase> m_defaults;
    std::unique_ptr<PresetManager> m_presets;
    std::unique_ptr<SnapPositionManager> m_positions;

private slots:
    void init()
    {
        m_log.clear();
        m_defaults = std::make_shared<MemoryDefaultsDatabase>();
        m_presets = std::make_unique<PresetManager>(m_defaults);
        m_positions = std::make_unique<SnapPositionManager>(m_defaults);
    }

    void onlyEnabledReadsAsOn()
    {
        for (Status status : {Status::notRegistered, Status::enabled, Status::requiresApproval, Status::notFound}) {
            auto service = std::make_shared<FakeLoginItemService>(m_log);
            service->current = status;
            QCOMPARE(GeneralSettingsManager(service, *m_presets, *m_positions).launchAtLogin(), status == Status::enabled);
        }
        QCOMPARE(m_log, QStringList(4, "status"));
    }

    void changesOnlyWhatTheSystemAccepts_data()
    {
        QTest::addColumn<Status>("initial");
        QTest::addColumn<bool>("requested");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("launchAtLogin");
        QTest::addColumn<QByteArray>("printed");
        QTest::newRow("on") << Status::notRegistered << true << "" << "register" << true << QByteArray();
        QTest::newRow("off") << Status::enabled << false << "" << "unregister" << false << QByteArray();
        QTest::newRow("on again still asks") << Status::enabled << true << "" << "register" << true << QByteArray();
        QTest::newRow("on refused") << Status::notRegistered << true << "Operation not permitted" << "register" << false
                                    << QByteArray("Failed to set launch at login: Operation not permitted\n");
        QTest::newRow("refusal text on one line")
            << Status::notRegistered << true << "Could not write /tmp/a\nb/ventrel.desktop" << "register" << false
            << QByteArray("Failed to set launch at login: Could not write /tmp/a b/ventrel.desktop\n");
    }

    void changesOnlyWhatTheSystemAccepts()
    {
        QFETCH(Status, initial);
        QFETCH(bool, requested);
        QFETCH(QString, refusal);
        QFETCH(QString, call);
        QFETCH(bool, launchAtLogin);
        QFETCH(QByteArray, printed);
        auto service = std::make_shared<FakeLoginItemService>(m_log);
        service->current = initial;
        service->registerError = service->unregisterError = refusal;
        GeneralSettingsManager manager(service, *m_presets, *m_positions);
        QSignalSpy willChange(&manager, &GeneralSettingsManager::objectWillChange);

        StdoutCapture out;
        manager.setLaunchAtLogin(requested);
        QCOMPARE(out.text(), printed);

        QCOMPARE(m_log, (QStringList{"status", call}));
        QCOMPARE(manager.launchAtLogin(), launchAtLogin);
        QCOMPARE(willChange.size(), refusal.isEmpty() ? 1 : 0);
    }

    void withoutAServiceOnlyTheStoresReset()
    {
        GeneralSettingsManager manager(nullptr, *m_presets, *m_positions);
        QVERIFY(m_presets->addPreset("Mine", 800, 600).has_value());
        StdoutCapture out;
        manager.setLaunchAtLogin(true);
        manager.resetAllSettings();
        QCOMPARE(out.text(), QByteArray());
        QVERIFY(!manager.launchAtLogin());
        QCOMPARE(m_presets->presets(), WindowPreset::defaultPresets());
    }

    void resetRunsInOrderEvenWhenUnregisteringFails_data()
    {
        QTest::addColumn<Status>("initial");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<bool>("launchAtLogin");
        QTest::addColumn<QByteArray>("printed");
        QTest::newRow("on") << Status::enabled << "" << false << QByteArray();
        QTest::newRow("already off") << Status::notRegistered << "" << false << QByteArray();
        QTest::newRow("refused") << Status::enabled << "Permission denied" << true
                                 << QByteArray("Failed to set launch at login: Permission denied\n");
    }

    void resetRunsInOrderEvenWhenUnregisteringFails()
    {
        QFETCH(Status, initial);
        QFETCH(QString, refusal);
        QFETCH(bool, launchAtLogin);
        QFETCH(QByteArray, printed);
        QVERIFY(m_presets->addPreset("Mine", 800, 600).has_value());
        m_presets->togglePresetVisibility(WindowPreset::defaultPresets().at(0).id);
        m_positions->togglePositionVisibility(SnapPosition::leftThird);
        auto service = std::make_shared<FakeLoginItemService>(m_log);
        service->current = initial;
        service->unregisterError = refusal;
        GeneralSettingsManager manager(service, *m_presets, *m_positions);
        connect(m_presets.get(), &PresetManager::objectWillChange, this, [this] { m_log << "presets"; });
        connect(m_positions.get(), &SnapPositionManager::objectWillChange, this, [this] { m_log << "positions"; });

        StdoutCapture out;
        manager.resetAllSettings();
        QCOMPARE(out.text(), printed);

        m_log.removeDuplicates();
        QCOMPARE(m_log, (QStringList{"status", "unregister", "presets", "positions"}));
        QCOMPARE(manager.launchAtLogin(), launchAtLogin);
        QCOMPARE(m_presets->presets(), WindowPreset::defaultPresets());
        QVERIFY(!m_defaults->values.contains(PresetManager::customPresetsKey));
        QVERIFY(!m_defaults->values.contains(PresetManager::presetSettingsKey));
        QCOMPARE(m_defaults->stringList(SnapPositionManager::hiddenPositionsKey), QStringList());
        QCOMPARE(m_positions->visiblePositions().size(), 7);
    }
};

QTEST_GUILESS_MAIN(TestGeneralSettingsManager)
#include "tst_generalsettingsmanager.moc"
