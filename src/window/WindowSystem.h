#pragma once

#include "window/PlatformError.h"
#include "window/Window.h"

#include <QRect>
#include <QRectF>
#include <QString>

#include <expected>
#include <memory>
#include <optional>
#include <vector>

// The platform operations the window logic is written over: one backend per
// desktop (X11/EWMH, sway, i3, KWin, GNOME Shell, macOS Accessibility) and a
// scripted fake in the tests. WindowSystemFactory chooses one at run time.
//
// Shaped after what every backend can do in one round trip: "the focused
// window and its frame", "the screens", "set the frame and read back what it
// got". Coordinates are global, top-left origin, y downwards, in the units
// the desktop places windows in (pixels; points on macOS); each backend
// converts its own coordinates to these.
class WindowSystem {
public:
    struct Screen {
        QRectF frame;    // the whole monitor
        QRectF workArea; // without menu bar, dock, panels and bars
    };

    struct Screens {
        std::vector<Screen> all;
        // Index into all of the main screen: the desktop's primary monitor,
        // or the focused output where the compositor has one. Nothing when
        // there is no main screen.
        std::optional<size_t> main;
    };

    virtual ~WindowSystem() = default;

    // The backend's name, as `ventrel doctor` shows it ("x11", "sway", ...).
    virtual QString name() const = 0;

    // Whether this process may control other applications' windows. With
    // prompt set, the system may also ask the user to grant it. True where
    // the desktop has no such permission.
    virtual bool isProcessTrusted(bool prompt) = 0;

    // The focused window of the frontmost application.
    // noFrontmostApplication when nothing is frontmost; noFocusedWindow when
    // the frontmost application shows no window we may act on (our own
    // windows included); other errors when the desktop cannot be asked.
    virtual std::expected<std::unique_ptr<Window>, PlatformError> focusedWindow() = 0;

    // The monitors and their work areas. May reuse what the last
    // focusedWindow() learnt in the same round trip.
    virtual Screens screens() = 0;

    // A frame in whole pixels whose edges are the rounded edges of frame, so
    // that neighbouring rectangles (thirds of an odd width) meet exactly.
    static QRect pixelFrame(const QRectF& frame);
};
