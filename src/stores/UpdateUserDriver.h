#pragma once

#include "stores/AppcastItem.h"

#include <QString>

#include <functional>

// What the appcast updater shows the user. The production driver is a
// dialog; tests record the calls instead.
class UpdateUserDriver {
public:
    virtual ~UpdateUserDriver() = default;

    // A user-initiated check has started; calling cancel stops it.
    virtual void showChecking(std::function<void()> cancel) = 0;
    virtual void showUpToDate(const QString& currentVersion) = 0;
    virtual void showUpdateAvailable(const AppcastItem& item, const QString& currentVersion) = 0;
    // The check failed; message says why in words fit for the user.
    virtual void showFailure(const QString& message) = 0;
};
