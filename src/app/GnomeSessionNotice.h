#pragma once

#include "platform/gnome/GnomeShellExtension.h"

#include <QStringList>

class QMenu;

// What a GNOME session lacks for the tray app: a tray host (GNOME shows tray
// icons only through the AppIndicator extension), said once when it starts,
// and while Ventrel's extension is switched off a menu item that enables it.
// (The backend itself says when the extension is missing.) Outside GNOME
// Shell, nothing.
class GnomeSessionNotice {
public:
    static QStringList lines(GnomeShellExtension::Status status, bool trayAvailable);
    // Asks the session bus, prints lines() on standard error and keeps the
    // extension's state for the menu.
    void printAtStart(bool trayAvailable);

    // While the extension is switched off, "Enable GNOME Extension..." and a
    // separator; choosing it asks the Shell and says what came of it.
    void addMenuItems(QMenu* menu);
    bool offersEnable() const { return m_status == GnomeShellExtension::Status::disabled; }

private:
    GnomeShellExtension::Status m_status = GnomeShellExtension::Status::noShell;
};
