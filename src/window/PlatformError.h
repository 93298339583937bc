#pragma once

#include <QString>

// Why a backend could not do what it was asked. The window logic turns these
// into the user's WindowError; the command line's diagnostics name them.
enum class PlatformError {
    // There is no frontmost application (or no window manager to say which).
    noFrontmostApplication,
    // The frontmost application has no focused window we may act on: none at
    // all, a desktop or panel, or one of our own windows.
    noFocusedWindow,
    // The window may not be changed now (full screen, or the desktop refused).
    refused,
    // The window went away during the operation.
    windowGone,
    // The desktop did not answer in time.
    timedOut,
    // The desktop could not be reached, or answered something we cannot use.
    unreachable,
    // A value no window can take (not finite, too small or too large).
    invalidValue,
};

// A short English phrase for diagnostics ("the window went away").
QString platformErrorText(PlatformError error);
