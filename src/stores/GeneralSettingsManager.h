#pragma once

#include "stores/LoginItemService.h"
#include "stores/PresetManager.h"
#include "stores/SnapPositionManager.h"

#include <QObject>

#include <memory>

// The launch-at-login switch and the reset of all settings. Launch at login
// is a registration with the system, read from it at creation and changed
// only when the system accepts the change; nothing is stored here.
class ShortcutManager;

class GeneralSettingsManager : public QObject {
    Q_OBJECT
public:
    // The process-wide instance over the platform's login-item service and
    // the shared preset and snap position stores, created on first use.
    static GeneralSettingsManager& shared();

    // service may be nullptr (no login-item service on this system).
    GeneralSettingsManager(std::shared_ptr<LoginItemService> service, PresetManager& presets,
                           SnapPositionManager& positions, QObject* parent = nullptr);

    // The snap position store, whose screen choice the General section shows.
    SnapPositionManager& snapPositions() const { return m_positions; }

    bool launchAtLogin() const { return m_launchAtLogin; }
    // Asks the system even when enabled equals the current state. A refusal
    // leaves launchAtLogin as it was and prints one line on standard output.
    void setLaunchAtLogin(bool enabled);
    // The global shortcuts, which the reset deletes as well; must outlive this.
    void setShortcuts(ShortcutManager* shortcuts) { m_shortcuts = shortcuts; }
    // Launch at login off, then presets, then snap positions back to their
    // defaults, and no global shortcuts. The updater's settings are left alone.
    void resetAllSettings();

signals:
    // Sent before each assignment of launchAtLogin.
    void objectWillChange();

private:
    std::shared_ptr<LoginItemService> m_service;
    PresetManager& m_presets;
    SnapPositionManager& m_positions;
    ShortcutManager* m_shortcuts = nullptr;
    bool m_launchAtLogin = false;
};
