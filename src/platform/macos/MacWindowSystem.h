#pragma once

#include "window/WindowSystem.h"

// Window control on macOS through the Accessibility API: the frontmost
// application from NSWorkspace, its "AXFocusedWindow", and "AXPosition" /
// "AXSize" written on that window. Screens come from NSScreen, converted by
// CocoaCoordinates. Plain C++ on the outside, so nothing else sees Objective-C.
class MacWindowSystem final : public WindowSystem {
public:
    QString name() const override { return QStringLiteral("macos"); }
    bool isProcessTrusted(bool prompt) override;
    // noFrontmostApplication also when this process is frontmost (our own
    // Settings window, say): it never resizes its own windows.
    std::expected<std::unique_ptr<Window>, PlatformError> focusedWindow() override;
    Screens screens() override;
};
