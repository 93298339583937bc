#include "platform/WindowSystemFactory.h"

#include "platform/NullWindowSystem.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QStringList>
#include <QtGlobal>

#include <array>

#ifdef VENTREL_HAVE_X11
#include "platform/x11/X11WindowSystem.h"
#endif
#ifdef VENTREL_HAVE_MACOS
#include "platform/macos/MacWindowSystem.h"
#endif

namespace {

using Backend = WindowSystemFactory::Backend;

struct Named {
    Backend backend;
    const char* name;
};
constexpr std::array<Named, 7> names{{{Backend::sway, "sway"},
                                      {Backend::i3, "i3"},
                                      {Backend::kwin, "kwin"},
                                      {Backend::gnome, "gnome"},
                                      {Backend::x11, "x11"},
                                      {Backend::macos, "macos"},
                                      {Backend::none, "none"}}};

QString environment(const char* name)
{
    return qEnvironmentVariable(name);
}

// Everything the order asks about, read from the session. The X server is
// asked only when no earlier backend has matched, and the connection made
// for asking is handed to the X11 backend rather than opened twice.
struct Probe {
    WindowSystemFactory::Environment environment;
#ifdef VENTREL_HAVE_X11
    std::unique_ptr<X11WindowSystem> x11;
#endif
};

Probe probeSession(bool complete)
{
    Probe probe;
    WindowSystemFactory::Environment& e = probe.environment;
    e.forced = environment("VENTREL_BACKEND");
    e.swaySocket = environment("SWAYSOCK");
    e.i3Socket = environment("I3SOCK");
    e.waylandDisplay = environment("WAYLAND_DISPLAY");
    e.display = environment("DISPLAY");
    e.sessionType = environment("XDG_SESSION_TYPE");
#ifdef VENTREL_HAVE_MACOS
    e.macos = true;
#endif
    const WindowSystemFactory::Choice early = WindowSystemFactory::choose(e);
    if (!complete && (early.backend == Backend::sway || early.backend == Backend::i3 || early.backend == Backend::macos))
        return probe;
    const bool wayland = !e.waylandDisplay.isEmpty() || e.sessionType == QLatin1String("wayland");
    if (complete || wayland) {
        if (QDBusConnection bus = QDBusConnection::sessionBus(); bus.isConnected()) {
            const QDBusConnectionInterface* registered = bus.interface();
            e.kwinOnBus = registered->isServiceRegistered(QStringLiteral("org.kde.KWin"));
            e.gnomeShellOnBus = registered->isServiceRegistered(QStringLiteral("org.gnome.Shell"));
            e.statusNotifierWatcher = registered->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher"));
        }
    }
    if (!complete && (e.kwinOnBus || e.gnomeShellOnBus))
        return probe;
#ifdef VENTREL_HAVE_X11
    if (!e.display.isEmpty()) {
        probe.x11 = X11WindowSystem::connect();
        if (probe.x11) {
            if (e.i3Socket.isEmpty())
                e.i3Socket = probe.x11->i3SocketPath();
            e.ewmhWindowManager = probe.x11->hasWindowManager();
            if (complete)
                e.systemTray = probe.x11->hasSystemTray();
        }
    }
#endif
    return probe;
}

std::unique_ptr<WindowSystem> instantiate(Backend backend, Probe& probe)
{
    switch (backend) {
    case Backend::x11:
#ifdef VENTREL_HAVE_X11
        if (!probe.x11)
            probe.x11 = X11WindowSystem::connect();
        return std::move(probe.x11);
#else
        return nullptr;
#endif
    case Backend::macos:
#ifdef VENTREL_HAVE_MACOS
        return std::make_unique<MacWindowSystem>();
#else
        return nullptr;
#endif
    case Backend::sway:
    case Backend::i3:
    case Backend::kwin:
    case Backend::gnome:
        return nullptr;
    case Backend::none:
        return std::make_unique<NullWindowSystem>();
    }
    return nullptr;
}

} // namespace

QString WindowSystemFactory::backendName(Backend backend)
{
    for (const Named& n : names) {
        if (n.backend == backend)
            return QString::fromLatin1(n.name);
    }
    return {};
}

std::optional<WindowSystemFactory::Backend> WindowSystemFactory::backendFromName(const QString& name)
{
    for (const Named& n : names) {
        if (name == QLatin1String(n.name))
            return n.backend;
    }
    return std::nullopt;
}

WindowSystemFactory::Choice WindowSystemFactory::choose(const Environment& e)
{
    if (!e.forced.isEmpty()) {
        if (const std::optional<Backend> forced = backendFromName(e.forced))
            return {*forced, QStringLiteral("VENTREL_BACKEND is %1").arg(e.forced)};
    }
    if (e.macos)
        return {Backend::macos, QStringLiteral("this is macOS")};
    if (!e.swaySocket.isEmpty())
        return {Backend::sway, QStringLiteral("SWAYSOCK is set")};
    if (!e.i3Socket.isEmpty())
        return {Backend::i3, QStringLiteral("i3's IPC socket is %1").arg(e.i3Socket)};
    const bool wayland = !e.waylandDisplay.isEmpty() || e.sessionType == QLatin1String("wayland");
    if (wayland && e.kwinOnBus)
        return {Backend::kwin, QStringLiteral("a Wayland session with KWin on the session bus")};
    if (wayland && e.gnomeShellOnBus)
        return {Backend::gnome, QStringLiteral("a Wayland session with GNOME Shell on the session bus")};
    if (!e.display.isEmpty() && e.ewmhWindowManager) {
        return {Backend::x11, wayland ? QStringLiteral("DISPLAY reaches Xwayland with an EWMH window manager; "
                                                       "only X11 windows can be changed")
                                      : QStringLiteral("DISPLAY reaches an X server with an EWMH window manager")};
    }
    if (!e.display.isEmpty())
        return {Backend::none, QStringLiteral("DISPLAY is set, but no EWMH window manager answers on it")};
    if (wayland)
        return {Backend::none, QStringLiteral("a Wayland session whose compositor Ventrel cannot drive")};
    return {Backend::none, QStringLiteral("no display: neither DISPLAY nor WAYLAND_DISPLAY is set")};
}

WindowSystemFactory::Environment WindowSystemFactory::probe()
{
    return probeSession(true).environment;
}

std::unique_ptr<WindowSystem> WindowSystemFactory::create(Choice* choice)
{
    Probe probe = probeSession(false);
    Environment& e = probe.environment;
    // A backend that cannot connect falls through to the next in the order:
    // it is struck out of the environment and the choice made again.
    QStringList unreachable;
    for (;;) {
        Choice made = choose(e);
        std::unique_ptr<WindowSystem> system = instantiate(made.backend, probe);
        if (!system && (made.backend == Backend::macos || made.backend == Backend::none)) {
            made.backend = Backend::none;
            system = std::make_unique<NullWindowSystem>();
        }
        if (system) {
            if (!unreachable.isEmpty())
                made.reason += QStringLiteral("; %1 could not be reached").arg(unreachable.join(QStringLiteral(", ")));
            if (choice)
                *choice = made;
            return system;
        }
        unreachable << backendName(made.backend);
        e.forced.clear();
        switch (made.backend) {
        case Backend::sway:
            e.swaySocket.clear();
            break;
        case Backend::i3:
            e.i3Socket.clear();
            break;
        case Backend::kwin:
            e.kwinOnBus = false;
            break;
        case Backend::gnome:
            e.gnomeShellOnBus = false;
            break;
        case Backend::x11:
            e.ewmhWindowManager = false;
            e.display.clear();
            break;
        case Backend::macos:
        case Backend::none:
            break;
        }
    }
}
