#include "app/GnomeSessionNotice.h"

#include "menubar/MenuBarManager.h"

#include <QDBusConnection>
#include <QMenu>

#include <cstdio>

QStringList GnomeSessionNotice::lines(GnomeShellExtension::Status status, bool trayAvailable)
{
    using Status = GnomeShellExtension::Status;
    QStringList lines;
    if (status == Status::noShell)
        return lines;
    if (!trayAvailable) {
        lines << QStringLiteral(
            "GNOME shows tray icons only with the AppIndicator extension (package "
            "gnome-shell-extension-appindicator). Without it, use the commands: 'ventrel snap leftHalf', "
            "'ventrel resize 1440x900', 'ventrel apply NAME', bound to keyboard shortcuts in GNOME Settings.");
    }
    return lines;
}

void GnomeSessionNotice::printAtStart(bool trayAvailable)
{
    m_status = GnomeShellExtension::probe(QDBusConnection::sessionBus());
    for (const QString& line : lines(m_status, trayAvailable))
        std::fprintf(stderr, "ventrel: %s\n", qPrintable(line));
}

void GnomeSessionNotice::addMenuItems(QMenu* menu)
{
    if (!offersEnable())
        return;
    menu->addAction(QStringLiteral("Enable GNOME Extension..."), menu, [this] {
        QString error;
        if (!GnomeShellExtension::enable(QDBusConnection::sessionBus(), &error)) {
            MenuBarManager::showAlert(QStringLiteral("GNOME Extension"), error);
            return;
        }
        m_status = GnomeShellExtension::Status::ready;
        // The backend is chosen when Ventrel starts.
        MenuBarManager::showAlert(QStringLiteral("GNOME Extension Enabled"),
                                  QStringLiteral("Quit Ventrel and open it again to move windows through GNOME Shell."));
    });
    menu->addSeparator();
}
