#pragma once

#include "window/WindowSystem.h"

// The backend when no supported window system is reachable (no display, a
// desktop we cannot drive): there is never a frontmost application, so every
// action ends in a clear "no active window" instead of a crash.
class NullWindowSystem final : public WindowSystem {
public:
    QString name() const override { return QStringLiteral("none"); }
    bool isProcessTrusted(bool) override { return true; }
    std::expected<std::unique_ptr<Window>, PlatformError> focusedWindow() override
    {
        return std::unexpected(PlatformError::noFrontmostApplication);
    }
    Screens screens() override { return {}; }
};
