#pragma once

#include "window/GlobalShortcuts.h"

#include <memory>

// The global shortcut backend that goes with the window backend chosen for
// this session (WindowSystem::name()). Never null: where no backend can work
// the one returned says so.
class GlobalShortcutsFactory {
public:
    static std::unique_ptr<GlobalShortcuts> create(const QString& windowSystemName);
};
