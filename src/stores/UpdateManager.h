#pragma once

#include "stores/UpdaterController.h"

#include <QObject>

#include <memory>

// Publishes the updater's state for the General section: whether a check can
// start now and whether automatic checks are on. The updater is created, and
// starts, with this store; nothing creates the shared one before the General
// section asks for it, so no check of any kind runs before then.
class UpdateManager : public QObject {
    Q_OBJECT
public:
    // The process-wide instance over the platform's updater, created on first use.
    static UpdateManager& shared();

    explicit UpdateManager(std::unique_ptr<UpdaterController> controller, QObject* parent = nullptr);

    bool canCheckForUpdates() const { return m_canCheckForUpdates; }
    bool automaticallyChecksForUpdates() const { return m_automaticallyChecksForUpdates; }
    // Every assignment reaches the updater, also one that changes nothing.
    void setAutomaticallyChecksForUpdates(bool enabled);

    // A user-initiated check is started with checkForUpdates() on this.
    UpdaterController& updaterController() { return *m_updaterController; }

signals:
    // Sent before each assignment of a published property.
    void objectWillChange();

private:
    void setCanCheckForUpdates(bool canCheck);

    std::unique_ptr<UpdaterController> m_updaterController;
    bool m_canCheckForUpdates = false;
    bool m_automaticallyChecksForUpdates = false;
};
