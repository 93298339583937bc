#include "app/ShortcutRegistrar.h"

#include "stores/ShortcutManager.h"
#include "views/DeferredRefresh.h"
#include "window/GlobalShortcuts.h"

#include <cstdio>

ShortcutRegistrar::ShortcutRegistrar(ShortcutManager& store, std::unique_ptr<GlobalShortcuts> system,
                                     std::function<void(const QString&)> trigger, QObject* parent)
    : QObject(parent), m_store(store), m_system(std::move(system)), m_trigger(std::move(trigger))
{
    m_store.setSystem(m_system.get());
    // Queued: an action's alert must not run inside the backend's event
    // handling, which would then see its own events again.
    connect(m_system.get(), &GlobalShortcuts::activated, this, [this](const QString& id) { m_trigger(id); },
            Qt::QueuedConnection);
    connect(m_system.get(), &GlobalShortcuts::statusChanged, this, &ShortcutRegistrar::report);
    auto* refresh = new DeferredRefresh([this] { synchronize(); }, this);
    connect(&m_store, &ShortcutManager::objectWillChange, refresh, &DeferredRefresh::schedule);
    connect(&m_store, &ShortcutManager::recordingChanged, this, &ShortcutRegistrar::synchronize);
    synchronize();
}

ShortcutRegistrar::~ShortcutRegistrar()
{
    m_store.setSystem(nullptr);
}

void ShortcutRegistrar::report(const QString& id)
{
    // A tray app has no window to say this in until Settings is opened; the
    // terminal it was started from hears it at once.
    const std::optional<GlobalShortcuts::Status> status = m_system->status(id);
    if (!status || status->state != GlobalShortcuts::Status::State::taken || m_reported.value(id) == status->detail) {
        if (status && status->state == GlobalShortcuts::Status::State::active)
            m_reported.remove(id);
        return;
    }
    m_reported.insert(id, status->detail);
    std::fprintf(stderr, "ventrel: the shortcut %s for %s is taken: %s It works as soon as it is free.\n",
                 qPrintable(m_store.shortcut(id).toString(QKeySequence::NativeText)), qPrintable(m_store.displayName(id)),
                 qPrintable(status->detail));
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
