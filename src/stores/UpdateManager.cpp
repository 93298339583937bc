#include "stores/UpdateManager.h"

UpdateManager& UpdateManager::shared()
{
    // Never destroyed: the updater may be mid-check when the process ends.
    static UpdateManager* const instance = new UpdateManager(UpdaterController::create());
    return *instance;
}

UpdateManager::UpdateManager(std::unique_ptr<UpdaterController> controller, QObject* parent)
    : QObject(parent), m_updaterController(std::move(controller))
{
    m_automaticallyChecksForUpdates = m_updaterController->automaticallyChecksForUpdates();
    connect(m_updaterController.get(), &UpdaterController::canCheckForUpdatesChanged, this,
            &UpdateManager::setCanCheckForUpdates);
    // The current value arrives now, before anyone can subscribe to this store.
    setCanCheckForUpdates(m_updaterController->canCheckForUpdates());
}

void UpdateManager::setAutomaticallyChecksForUpdates(bool enabled)
{
    emit objectWillChange();
    m_automaticallyChecksForUpdates = enabled;
    m_updaterController->setAutomaticallyChecksForUpdates(m_automaticallyChecksForUpdates);
}

void UpdateManager::setCanCheckForUpdates(bool canCheck)
{
    emit objectWillChange();
    m_canCheckForUpdates = canCheck;
}
