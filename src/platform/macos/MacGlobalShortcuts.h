#pragma once

#include "window/GlobalShortcuts.h"

#include <QHash>

#include <memory>

// Global shortcuts on macOS: system-wide hot keys (RegisterEventHotKey), which
// need no Accessibility permission and never take the focus from the
// frontmost application. A combination another application registered is
// refused by the system; it is tried again while it stays assigned.
class MacGlobalShortcuts final : public GlobalShortcuts {
    Q_OBJECT
public:
    MacGlobalShortcuts();
    ~MacGlobalShortcuts() override;

    void registerShortcut(const QString& id, const QString& description, QKeyCombination keys) override;
    void unregisterShortcut(const QString& id) override;
    std::optional<Status> status(const QString& id) const override;

    // Called from the system's hot key handler.
    void pressed(quint32 number);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
