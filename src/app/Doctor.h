#pragma once

#include "platform/WindowSystemFactory.h"
#include "stores/LoginItemService.h"

#include <QString>
#include <QStringList>

#include <optional>

// `ventrel doctor`: what Ventrel sees of the session, and one line for each
// missing piece, in words a user can act on.
class Doctor {
public:
    struct Facts {
        QString currentDesktop;  // XDG_CURRENT_DESKTOP
        WindowSystemFactory::Environment environment;
        WindowSystemFactory::Choice choice;
        bool trayHost = false;   // an XEmbed tray or a StatusNotifierItem watcher
        QString settingsFile;
        bool settingsFileExists = false;
        std::optional<LoginItemService::Status> autostart; // none: no login-item service
    };

    // Reads the real session: environment, window backend, tray, files.
    static Facts gather();

    // The report's lines, and whether anything is missing.
    static std::pair<QStringList, bool> report(const Facts& facts);
};
