#include "stores/UpdateManager.h"

#include <QSignalSpy>
#include <QTest>

namespace {

class FakeUpdater : public UpdaterController {
public:
    bool canCheck = true;
    bool automatic = true;
    QList<bool> automaticWrites;

    bool canCheckForUpdates() const override { return canCheck; }
    bool automaticallyChecksForUpdates() const override { return automatic; }
    void setAutomaticallyChecksForUpdates(bool enabled) override { automaticWrites << (automatic = enabled); }
    void checkForUpdates() override {}
    void report(bool value) { emit canCheckForUpdatesChanged(canCheck = value); }
};

} // namespace

class TestUpdateManager : public QObject {
    Q_OBJECT

private slots:
    void startsFromTheUpdatersValues()
    {
        for (bool value : {true, false}) {
            auto updater = std::make_unique<FakeUpdater>();
            updater->canCheck = updater->automatic = value;
            FakeUpdater* fake = updater.get();
            UpdateManager manager(std::move(updater));
            QCOMPARE(manager.canCheckForUpdates(), value);
            QCOMPARE(manager.automaticallyChecksForUpdates(), value);
            QVERIFY(fake->automaticWrites.isEmpty()); // read, not written back
        }
    }

    void followsTheUpdaterAndPassesEveryAssignmentOn()
    {
        auto updater = std::make_unique<FakeUpdater>();
        FakeUpdater* fake = updater.get();
        UpdateManager manager(std::move(updater));
        QSignalSpy willChange(&manager, &UpdateManager::objectWillChange);
        QList<bool> seenWhenNotified;
        connect(&manager, &UpdateManager::objectWillChange, this,
                [&] { seenWhenNotified << manager.canCheckForUpdates(); });

        fake->report(false);
        QCOMPARE(manager.canCheckForUpdates(), false);
        fake->report(true);
        QCOMPARE(manager.canCheckForUpdates(), true);
        // Observers hear before each change, as the signal's name says.
        QCOMPARE(seenWhenNotified, (QList<bool>{true, false}));

        manager.setAutomaticallyChecksForUpdates(false);
        manager.setAutomaticallyChecksForUpdates(false);
        QCOMPARE(fake->automaticWrites, (QList<bool>{false, false}));
        QCOMPARE(manager.automaticallyChecksForUpdates(), false);
        QCOMPARE(willChange.size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestUpdateManager)
#include "tst_updatemanager.moc"
