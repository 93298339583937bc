#include "window/PlatformError.h"

QString platformErrorText(PlatformError error)
{
    switch (error) {
    case PlatformError::noFrontmostApplication:
        return QStringLiteral("no application is frontmost");
    case PlatformError::noFocusedWindow:
        return QStringLiteral("the frontmost application has no window to change");
    case PlatformError::refused:
        return QStringLiteral("the window may not be changed now");
    case PlatformError::windowGone:
        return QStringLiteral("the window went away");
    case PlatformError::timedOut:
        return QStringLiteral("the desktop did not answer in time");
    case PlatformError::unreachable:
        return QStringLiteral("the desktop could not be reached");
    case PlatformError::invalidValue:
        return QStringLiteral("no window can take that size or place");
    }
    return {};
}
