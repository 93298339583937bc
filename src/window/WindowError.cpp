#include "window/WindowError.h"

QString errorDescription(WindowError error)
{
    switch (error) {
    case WindowError::noActiveWindow:
        return QStringLiteral("No active window found.");
    case WindowError::accessibilityNotGranted:
        return QStringLiteral("Accessibility permission not granted. Please enable it in System Preferences.");
    case WindowError::resizeFailed:
        return QStringLiteral("Failed to resize window.");
    case WindowError::windowNotResizable:
        return QStringLiteral("This window cannot be resized.");
    case WindowError::snapFailed:
        return QStringLiteral("Failed to snap window to position.");
    }
    return {};
}
