#pragma once

#include "stores/GeneralSettingsManager.h"
#include "stores/UpdateManager.h"

#include <expected>

// A login-item service that answers from memory and can be told to refuse.
class FakeLoginItemService : public LoginItemService {
public:
    Status current = Status::notRegistered;
    bool refuse = false;
    int registerCalls = 0;
    int unregisterCalls = 0;

    Status status() const override { return current; }

    std::expected<void, QString> registerService() override
    {
        ++registerCalls;
        if (refuse)
            return std::unexpected(QStringLiteral("Operation not permitted"));
        current = Status::enabled;
        return {};
    }

    std::expected<void, QString> unregisterService() override
    {
        ++unregisterCalls;
        if (refuse)
            return std::unexpected(QStringLiteral("Operation not permitted"));
        current = Status::notRegistered;
        return {};
    }
};

// An updater whose readiness the test sets; it counts the checks asked of it.
class FakeUpdaterController : public UpdaterController {
public:
    bool canCheck = false;
    bool automatic = true;
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

// The general stores over fakes, beside the preset and snap position stores.
struct GeneralStores {
    std::shared_ptr<FakeLoginItemService> login = std::make_shared<FakeLoginItemService>();
    FakeUpdaterController* updater = nullptr;
    std::unique_ptr<GeneralSettingsManager> general;
    std::unique_ptr<UpdateManager> updates;

    GeneralStores(PresetManager& presets, SnapPositionManager& snapPositions, bool canCheck = false)
    {
        auto controller = std::make_unique<FakeUpdaterController>();
        controller->canCheck = canCheck;
        updater = controller.get();
        general = std::make_unique<GeneralSettingsManager>(login, presets, snapPositions);
        updates = std::make_unique<UpdateManager>(std::move(controller));
    }
};
