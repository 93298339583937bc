#pragma once

#include "window/WindowSystem.h"

#include <QRectF>

#include <optional>
#include <vector>

// AppKit places screens with a bottom-left origin at the primary display's
// bottom-left corner (the first screen, the one with the menu bar), while the
// Accessibility interface places windows with a top-left origin at the
// primary display's top-left corner. Flipping around any other screen's
// height (the main screen is the one with the key window, which need not be
// the primary) would put windows in the wrong place.
class CocoaCoordinates {
public:
    struct CocoaScreen {
        QRectF frame;
        QRectF visibleFrame;
    };

    // screens in AppKit's order (the primary first); main is the index of
    // NSScreen.mainScreen among them.
    static WindowSystem::Screens toScreens(const std::vector<CocoaScreen>& screens, std::optional<size_t> main);

    static QRectF toTopLeft(const QRectF& cocoa, double primaryHeight);
};
