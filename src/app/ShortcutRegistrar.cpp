#include "app/ShortcutRegistrar.h"

#include "stores/ShortcutManager.h"
#include "views/DeferredRefresh.h"
#include "window/GlobalShortcuts.h"

ShortcutRegistrar::ShortcutRegistrar(ShortcutManager& store, std::unique_ptr<GlobalShortcuts> system,
                                     std::function<void(const QString&)> trigger, QObject* parent)
    : QObject(parent), m_store(store), m_system(std::move(system)), m_trigger(std::move(trigger))
{
    m_store.setSystem(m_system.get());
    // Queued: an action's alert must not run inside the backend's event
    // handling, which would then see its own events again.
    connect(m_system.get(), &GlobalShortcuts::activated, this, [this](const QString& id) { m_trigger(id); },
            Qt::QueuedConnection);
    auto* refresh = new DeferredRefresh([this] { synchronize(); }, this);
    connect(&m_store, &ShortcutManager::objectWillChange, refresh, &DeferredRefresh::schedule);
    connect(&m_store, &ShortcutManager::recordingChanged, this, &ShortcutRegistrar::synchronize);
    synchronize();
}

ShortcutRegistrar::~ShortcutRegistrar()
{
    m_store.setSystem(nullptr);
}

void ShortcutRegistrar::synchronize()
{
    static const QMap<QString, QKeySequence> none;
    const QMap<QString, QKeySequence>& wanted = m_store.isRecording() ? none : m_store.shortcuts();
    for (const QString& id : QSet<QString>(m_registered)) {
        if (!wanted.contains(id)) {
            m_system->unregisterShortcut(id);
            m_registered.remove(id);
        }
    }
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        m_system->registerShortcut(it.key(), m_store.displayName(it.key()), it.value()[0]);
        m_registered.insert(it.key());
    }
}
