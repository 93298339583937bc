#pragma once

#include <QString>

#include <expected>
#include <memory>

// The system's registry of programs started at login, for this program only.
// One backend per system: SMAppService on macOS, an XDG autostart entry on
// Linux desktops.
class LoginItemService {
public:
    // Values mirror the system's service status.
    enum class Status { notRegistered = 0, enabled = 1, requiresApproval = 2, notFound = 3 };

    virtual ~LoginItemService() = default;

    // Read from the system each time; nothing is cached.
    virtual Status status() const = 0;
    // Each failure carries a description fit to print.
    virtual std::expected<void, QString> registerService() = 0;
    virtual std::expected<void, QString> unregisterService() = 0;

    // The service for this program, or nullptr where the system has none
    // (macOS before 13): launch at login then stays off and nothing happens.
    static std::shared_ptr<LoginItemService> create();
};
