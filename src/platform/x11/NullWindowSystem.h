#pragma once

#include "window/WindowSystem.h"

// The backend when no supported window system is reachable (no display, a
// Wayland session without X): there is never a frontmost application, so
// every action ends in a clear "no active window" instead of a crash.
class NullWindowSystem final : public WindowSystem {
public:
    bool isProcessTrusted(bool) override { return true; }
    std::optional<ApplicationId> frontmostApplication() override { return std::nullopt; }
    ElementPtr createApplicationElement(ApplicationId) override { return nullptr; }
    FocusedWindow copyFocusedWindow(const Element&) override { return {1, nullptr}; }
    std::optional<Screen> mainScreen() override { return std::nullopt; }
    int setPosition(const Element&, QPointF) override { return 1; }
    int setSize(const Element&, QSizeF) override { return 1; }
};
