#pragma once

#include <QObject>

#include <memory>

// The updater behind UpdateManager. It starts its updater when created;
// from then on it tells whether a user-initiated check may start, keeps the
// "check automatically" choice across runs and checks on its own schedule
// when that is on. One backend per system: the update framework's standard
// controller on macOS, our own appcast reader elsewhere.
class UpdaterController : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Whether a user-initiated check may start now (false while one runs).
    virtual bool canCheckForUpdates() const = 0;
    // Persistent: the updater keeps this across runs of the program.
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool enabled) = 0;
    // Starts a user-initiated check; the updater shows its own windows for
    // the progress and the outcome.
    virtual void checkForUpdates() = 0;

    // The platform's updater, started.
    static std::unique_ptr<UpdaterController> create();

signals:
    void canCheckForUpdatesChanged(bool canCheck);
};
