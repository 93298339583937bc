#pragma once

#include <QString>

enum class WindowError {
    noActiveWindow,
    accessibilityNotGranted,
    resizeFailed,
    // Kept with its text for callers that show it; no operation produces it.
    windowNotResizable,
    snapFailed,
};

// The exact text shown to the user for each error.
QString errorDescription(WindowError error);
