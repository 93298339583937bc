#pragma once

#include "views/DeferredRefresh.h"

#include <QPointer>
#include <QWidget>

class GeneralSettingsManager;
class QCheckBox;
class QMessageBox;
class QPushButton;
class QScrollArea;
class UpdateManager;

// The General section of the Settings window: launch at login, update checks
// and the reset of all settings. It holds no settings of its own: every
// control shows what the stores hold and asks them for each change.
class GeneralPane : public QWidget {
    Q_OBJECT
public:
    GeneralPane(GeneralSettingsManager& generalManager, UpdateManager& updateManager, QWidget* parent = nullptr);

    QCheckBox* launchAtLoginToggle() const { return m_launchAtLogin; }
    QCheckBox* windowScreenToggle() const { return m_windowScreen; }
    QPushButton* checkForUpdatesButton() const { return m_checkForUpdates; }
    QCheckBox* automaticChecksToggle() const { return m_automaticChecks; }
    QPushButton* resetButton() const { return m_reset; }
    QScrollArea* scrollArea() const { return m_scrollArea; }

    // Opens the window-modal confirmation of "Reset to Defaults"; it resets
    // only when its "Reset" button is chosen.
    void showResetAlert();
    // The confirmation while it is showing, otherwise null.
    QMessageBox* resetAlert() const;

private:
    void sync();

    GeneralSettingsManager& m_generalManager;
    UpdateManager& m_updateManager;
    QScrollArea* m_scrollArea = nullptr;
    QCheckBox* m_launchAtLogin = nullptr;
    QCheckBox* m_windowScreen = nullptr;
    QPushButton* m_checkForUpdates = nullptr;
    QCheckBox* m_automaticChecks = nullptr;
    QPushButton* m_reset = nullptr;
    QPointer<QMessageBox> m_resetAlert;
    DeferredRefresh* m_sync = nullptr;
};
