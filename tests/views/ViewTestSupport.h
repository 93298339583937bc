#pragma once

#include "stores/FakeLoginItemService.h"
#include "stores/GeneralSettingsManager.h"
#include "stores/SettingsDefaultsDatabase.h"
#include "stores/UpdateManager.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QTest>

// An updater whose readiness the test sets; it counts the checks asked of it.
struct FakeUpdaterController : UpdaterController {
    bool canCheck = false, automatic = true;
    int checks = 0;
    bool canCheckForUpdates() const override { return canCheck; }
    bool automaticallyChecksForUpdates() const override { return automatic; }
    void setAutomaticallyChecksForUpdates(bool value) override { automatic = value; }
    void checkForUpdates() override { ++checks; }
    void setCanCheck(bool value)
    {
        canCheck = value;
        emit canCheckForUpdatesChanged(value);
    }
};

// Real stores over a settings file in a fresh temporary directory; the
// general ones over fakes.
struct TemporaryStores {
    QTemporaryDir directory;
    std::shared_ptr<SettingsDefaultsDatabase> database =
        std::make_shared<SettingsDefaultsDatabase>(directory.filePath("settings.ini"));
    PresetManager presets{database};
    SnapPositionManager snapPositions{database};
    std::shared_ptr<FakeLoginItemService> login = std::make_shared<FakeLoginItemService>();
    FakeUpdaterController* updater = new FakeUpdaterController; // owned by updates
    GeneralSettingsManager general{login, presets, snapPositions};
    UpdateManager updates{std::unique_ptr<UpdaterController>(updater)};
};

// Runs the panes' deferred redraws and deletes the row widgets they replaced.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

