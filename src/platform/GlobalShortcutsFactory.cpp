#include "platform/GlobalShortcutsFactory.h"

#include "platform/NoGlobalShortcuts.h"

#ifdef VENTREL_HAVE_X11
#include "platform/x11/X11GlobalShortcuts.h"
#endif
#ifdef VENTREL_HAVE_MACOS
#include "platform/macos/MacGlobalShortcuts.h"
#endif
#ifdef VENTREL_HAVE_PORTAL
#include "platform/portal/PortalGlobalShortcuts.h"

#include <QDBusConnection>
#endif

std::unique_ptr<GlobalShortcuts> GlobalShortcutsFactory::create(const QString& windowSystemName)
{
#ifdef VENTREL_HAVE_X11
    if (windowSystemName == QLatin1String("x11")) {
        if (auto x11 = X11GlobalShortcuts::connect())
            return x11;
        return std::make_unique<NoGlobalShortcuts>(QStringLiteral("The X server could not be reached."));
    }
#endif
#ifdef VENTREL_HAVE_MACOS
    if (windowSystemName == QLatin1String("macos"))
        return std::make_unique<MacGlobalShortcuts>();
#endif
    // Both bind keys only in their own configuration, which is the user's to edit.
    if (windowSystemName == QLatin1String("sway") || windowSystemName == QLatin1String("i3"))
        return std::make_unique<NoGlobalShortcuts>(
            QStringLiteral("%1 binds keys in its own configuration: add the lines below the list to it.")
                .arg(windowSystemName),
            windowSystemName);
    if (windowSystemName == QLatin1String("kwin") || windowSystemName == QLatin1String("gnome")) {
#ifdef VENTREL_HAVE_PORTAL
        if (auto portal = PortalGlobalShortcuts::create(QDBusConnection::sessionBus(), QStringLiteral(VENTREL_APP_ID)))
            return portal;
#endif
        return std::make_unique<NoGlobalShortcuts>(
            QStringLiteral("This desktop offers no global shortcuts to programs (its desktop portal has no "
                           "GlobalShortcuts)."));
    }
    return std::make_unique<NoGlobalShortcuts>(
        QStringLiteral("No desktop that Ventrel can take global shortcuts from is running."));
}
