#pragma once

#include "window/WindowSystem.h"

// Window control on macOS through the Accessibility API: the frontmost
// application from NSWorkspace, its "AXFocusedWindow", and "AXPosition" /
// "AXSize" written on that window. Status codes are the AXError values.
// Plain C++ on the outside, so nothing else sees Objective-C.
class MacWindowSystem final : public WindowSystem {
public:
    bool isProcessTrusted(bool prompt) override;
    // Nothing when this process is frontmost (our own Settings window, say):
    // it never resizes its own windows.
    std::optional<ApplicationId> frontmostApplication() override;
    ElementPtr createApplicationElement(ApplicationId application) override;
    FocusedWindow copyFocusedWindow(const Element& application) override;
    std::optional<Screen> mainScreen() override;
    int setPosition(const Element& window, QPointF position) override;
    int setSize(const Element& window, QSizeF size) override;
};
