#pragma once

#include <QDeadlineTimer>
#include <QRect>

#include <memory>
#include <optional>

struct xcb_connection_t;

// Where sway's Xwayland has put an X client's window, which is where sway
// last told the client to be. sway's IPC reports the state it means to send
// next, so the two differ while a change is still on its way to the client.
// Every wait ends at the caller's deadline.
class XwaylandGeometry {
public:
    // Null when no X server answers at DISPLAY.
    static std::unique_ptr<XwaylandGeometry> connect();
    ~XwaylandGeometry();
    XwaylandGeometry(const XwaylandGeometry&) = delete;
    XwaylandGeometry& operator=(const XwaylandGeometry&) = delete;

    // The window's own area in root coordinates; nullopt when it is gone or
    // the server does not answer in time. From then on every change to the
    // window wakes waitForChange.
    std::optional<QRect> area(quint32 window, QDeadlineTimer deadline);
    // Returns when the X server has news for us, or at the deadline.
    void waitForChange(QDeadlineTimer deadline);

private:
    explicit XwaylandGeometry(xcb_connection_t* connection);

    xcb_connection_t* m_connection;
};
