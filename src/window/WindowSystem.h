#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <memory>
#include <optional>

// The platform operations the window logic is written over: one backend per
// system (X11/EWMH, macOS Accessibility) and a scripted fake in the tests.
// Status codes follow the accessibility interface: 0 is success, anything else
// is failure.
class WindowSystem {
public:
    // An element obtained from the platform (an application or a window).
    // Destroying it releases whatever the platform handed out for it, so every
    // path through the logic releases what it obtained.
    class Element {
    public:
        virtual ~Element() = default;
    };
    using ElementPtr = std::unique_ptr<Element>;

    // Identifies the frontmost application to the backend that returned it: a
    // process identifier on macOS, the active window on X11.
    using ApplicationId = quint64;

    struct Screen {
        QRectF frame;        // full screen, bottom-left coordinates
        QRectF visibleFrame; // without menu bar, dock and panels, bottom-left coordinates
    };

    struct FocusedWindow {
        int status = 0;
        ElementPtr window; // may be empty even when status is 0
    };

    virtual ~WindowSystem() = default;

    // The backend for the system this process runs on, chosen once at run
    // time. Never null: where no window system can be reached it is one that
    // reports no frontmost application. Defined once per platform.
    static std::unique_ptr<WindowSystem> create();

    // Whether this process may control other applications' windows. With
    // prompt set, the system may also ask the user to grant it.
    virtual bool isProcessTrusted(bool prompt) = 0;

    virtual std::optional<ApplicationId> frontmostApplication() = 0;
    virtual ElementPtr createApplicationElement(ApplicationId application) = 0;
    virtual FocusedWindow copyFocusedWindow(const Element& application) = 0;

    virtual std::optional<Screen> mainScreen() = 0;

    // Position is the window frame's top-left corner in top-left coordinates
    // (y downwards, measured from the top of the main screen); size is the
    // outer frame, decorations included.
    virtual int setPosition(const Element& window, QPointF position) = 0;
    virtual int setSize(const Element& window, QSizeF size) = 0;
};
