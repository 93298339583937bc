#include "stores/UpdateManager.h"

#include <QSignalSpy>
#include <QTest>

namespace {

class FakeUpdater : public UpdaterController {
public:
    bool canCheck = true;
    bool automatic = true;
    QList<bool> automaticWrites;
    int checks = 0;

    bool canCheckForUpdates() const override { return canCheck; }
    bool automaticallyChecksForUpdates() const override { return automatic; }
    void setAutomaticallyChecksForUpdates(bool enabled) override
    {
        automaticWrites << enabled;
        automatic = enabled;
    }
    void checkForUpdates() override { ++checks; }
    void report(bool value)
    {
        canCheck = value;
        emit canCheckForUpdatesChanged(value);
    }
};

} // namespace

class TestUpdateManager : public QObject {
    Q_OBJECT

private slots:
    void startsFromTheUpdatersValues_data()
    {
        QTest::addColumn<bool>("canCheck");
        QTest::addColumn<bool>("automatic");
        QTest::newRow("ready, automatic") << true << true;
        QTest::newRow("busy, manual") << false << false;
    }

    void startsFromTheUpdatersValues()
    {
        QFETCH(bool, canCheck);
        QFETCH(bool, automatic);
        auto updater = std::make_unique<FakeUpdater>();
        updater->canCheck = canCheck;
        updater->automatic = automatic;
        FakeUpdater* fake = updater.get();
        UpdateManager manager(std::move(updater));
        QCOMPARE(manager.canCheckForUpdates(), canCheck);
        QCOMPARE(manager.automaticallyChecksForUpdates(), automatic);
        // The first value is read, not written back.
        QVERIFY(fake->automaticWrites.isEmpty());
        QCOMPARE(&manager.updaterController(), fake);
    }

    void followsTheUpdatersFlag()
    {
        auto updater = std::make_unique<FakeUpdater>();
        FakeUpdater* fake = updater.get();
        UpdateManager manager(std::move(updater));
        QSignalSpy willChange(&manager, &UpdateManager::objectWillChange);
        bool valueWhenNotified = true;
        connect(&manager, &UpdateManager::objectWillChange, this,
                [&] { valueWhenNotified = manager.canCheckForUpdates(); });

        fake->report(false);
        QCOMPARE(manager.canCheckForUpdates(), false);
        QCOMPARE(willChange.size(), 1);
        // Observers hear before the change, as the name says.
        QCOMPARE(valueWhenNotified, true);
        fake->report(true);
        QCOMPARE(manager.canCheckForUpdates(), true);
        QCOMPARE(willChange.size(), 2);
    }

    void passesEveryAssignmentOn()
    {
        auto updater = std::make_unique<FakeUpdater>();
        FakeUpdater* fake = updater.get();
        UpdateManager manager(std::move(updater));
        QSignalSpy willChange(&manager, &UpdateManager::objectWillChange);

        manager.setAutomaticallyChecksForUpdates(false);
        manager.setAutomaticallyChecksForUpdates(false);
        manager.setAutomaticallyChecksForUpdates(true);

        QCOMPARE(fake->automaticWrites, (QList<bool>{false, false, true}));
        QCOMPARE(willChange.size(), 3);
        QCOMPARE(manager.automaticallyChecksForUpdates(), true);
    }
};

QTEST_GUILESS_MAIN(TestUpdateManager)
#include "tst_updatemanager.moc"
