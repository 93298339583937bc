#include "app/Doctor.h"

#include "stores/SettingsDefaultsDatabase.h"

#include <QFileInfo>

namespace {

QString orUnset(const QString& value)
{
    return value.isEmpty() ? QStringLiteral("unset") : value;
}

QString autostartText(std::optional<LoginItemService::Status> status)
{
    if (!status)
        return QStringLiteral("not available on this system");
    switch (*status) {
    case LoginItemService::Status::enabled:
        return QStringLiteral("on");
    case LoginItemService::Status::requiresApproval:
        return QStringLiteral("off (the entry exists but the desktop has it switched off)");
    case LoginItemService::Status::notRegistered:
        return QStringLiteral("off");
    case LoginItemService::Status::notFound:
        return QStringLiteral("off (the entry cannot be read)");
    }
    return {};
}

} // namespace

Doctor::Facts Doctor::gather()
{
    Facts facts;
    facts.currentDesktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    facts.environment = WindowSystemFactory::probe();
    WindowSystemFactory::create(&facts.choice);
    facts.trayHost = facts.environment.systemTray || facts.environment.statusNotifierWatcher;
    facts.settingsFile = SettingsDefaultsDatabase().fileName();
    facts.settingsFileExists = QFileInfo::exists(facts.settingsFile);
    if (const auto service = LoginItemService::create())
        facts.autostart = service->status();
    return facts;
}

std::pair<QStringList, bool> Doctor::report(const Facts& f)
{
    const WindowSystemFactory::Environment& e = f.environment;
    QStringList lines;
    lines << QStringLiteral("Desktop: %1 (session type %2, DISPLAY %3, WAYLAND_DISPLAY %4)")
                 .arg(orUnset(f.currentDesktop), orUnset(e.sessionType), orUnset(e.display), orUnset(e.waylandDisplay));
    lines << QStringLiteral("Window control: %1, because %2")
                 .arg(WindowSystemFactory::backendName(f.choice.backend), f.choice.reason);
    lines << QStringLiteral("Tray: %1").arg(f.trayHost ? QStringLiteral("present") : QStringLiteral("none found"));
    lines << QStringLiteral("Settings file: %1%2")
                 .arg(f.settingsFile, f.settingsFileExists ? QString() : QStringLiteral(" (not written yet)"));
    lines << QStringLiteral("Launch at login: %1").arg(autostartText(f.autostart));

    bool missing = false;
    if (f.choice.backend == WindowSystemFactory::Backend::none) {
        missing = true;
        lines << QStringLiteral("Missing: window control. Ventrel changes windows on X11 with an EWMH window manager, "
                                "on sway, i3 and KDE Plasma, and on GNOME with its Ventrel extension enabled.");
    }
    if (!f.trayHost && !e.macos) {
        missing = true;
        lines << QStringLiteral("Missing: a system tray. Ventrel's icon appears as soon as a panel with a tray or "
                                "status notifier area runs (on GNOME, enable the AppIndicator extension); until "
                                "then the ventrel commands still work.");
    }
    return {lines, missing};
}
