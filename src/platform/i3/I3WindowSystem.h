#pragma once

#include "platform/i3ipc/I3IpcWindowSystem.h"

#include <xcb/xcb.h>

// i3, over its IPC socket (I3SOCK, or the I3_SOCKET_PATH property of the X
// root window). A container's rect already holds its title bar and borders.
class I3WindowSystem final : public I3IpcWindowSystem {
public:
    // Null when nothing answers at socketPath.
    static std::unique_ptr<I3WindowSystem> connect(const QString& socketPath);

    QString name() const override;

private:
    using I3IpcWindowSystem::I3IpcWindowSystem;

    bool isWindow(const QJsonObject& node) const override;
    std::optional<QRect> outerFrame(const QJsonObject& container) const override;
    QString placeCommand(const I3IpcWindow& window, const QRect& frame) const override;
    bool isOwnWindow(const QJsonObject& container) const override;

    struct Disconnect {
        void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
    };
    // The X server, for the process that owns a window.
    mutable std::unique_ptr<xcb_connection_t, Disconnect> m_x;
    mutable xcb_atom_t m_pidAtom = XCB_ATOM_NONE;
};
