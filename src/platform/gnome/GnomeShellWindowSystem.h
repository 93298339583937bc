#pragma once

#include "platform/gnome/GnomeShellExtension.h"
#include "window/WindowSystem.h"

#include <QDBusConnection>

#include <memory>
#include <optional>

class QDBusArgument;

// GNOME Shell on Wayland (and its Xwayland windows): nothing outside the
// Shell may move another program's window there, so Ventrel's own Shell
// extension does it, and this backend asks it over the session bus. One
// connection is kept for the life of the backend; every call is bounded.
class GnomeShellWindowSystem final : public WindowSystem {
public:
    // The backend on the session bus when the Shell is there and the
    // extension answers in a version we speak; null otherwise. When the Shell
    // runs without a working extension this says so on standard error, in
    // words and once per process.
    static std::unique_ptr<GnomeShellWindowSystem> connect();
    // The same on the given bus, silently: status says which piece is missing.
    static std::unique_ptr<GnomeShellWindowSystem> connect(const QDBusConnection& bus,
                                                           GnomeShellExtension::Status* status = nullptr);

    QString name() const override { return QStringLiteral("gnome"); }
    bool isProcessTrusted(bool) override { return true; }
    std::expected<std::unique_ptr<Window>, PlatformError> focusedWindow() override;
    Screens screens() override;

    // How long a move may take: the extension waits up to a second for each
    // of at most three settles (unmaximize, the move, a terminal's place).
    static constexpr int moveTimeoutMs = 3500;
    static constexpr int readTimeoutMs = 3000;

private:
    explicit GnomeShellWindowSystem(const QDBusConnection& bus) : m_bus(bus) {}
    static std::optional<Screens> readScreens(const QDBusArgument& monitors, int primary);

    QDBusConnection m_bus;
    // What focusedWindow() learnt of the screens in its own round trip, for
    // the screens() call of the same action; used once.
    std::optional<Screens> m_screensFromFocus;
};
