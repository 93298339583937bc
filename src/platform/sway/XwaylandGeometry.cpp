#include "platform/sway/XwaylandGeometry.h"

#include "platform/x11/XcbReply.h"

std::unique_ptr<XwaylandGeometry> XwaylandGeometry::connect()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<XwaylandGeometry>(new XwaylandGeometry(connection));
}

XwaylandGeometry::XwaylandGeometry(xcb_connection_t* connection)
    : m_connection(connection)
{
}

XwaylandGeometry::~XwaylandGeometry()
{
    xcb_disconnect(m_connection);
}

std::optional<QRect> XwaylandGeometry::area(quint32 window, QDeadlineTimer deadline)
{
    const quint32 mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &mask);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    if (!screen)
        return std::nullopt;
    const auto geometryCookie = xcb_get_geometry(m_connection, window);
    const auto positionCookie = xcb_translate_coordinates(m_connection, window, screen->root, 0, 0);
    const auto until = deadline.deadline<std::chrono::steady_clock>();
    const auto geometry = xcbAwaitReply<xcb_get_geometry_reply_t>(m_connection, geometryCookie.sequence, until);
    const auto position = xcbAwaitReply<xcb_translate_coordinates_reply_t>(m_connection, positionCookie.sequence, until);
    if (!geometry || !position)
        return std::nullopt;
    return QRect(position->dst_x, position->dst_y, geometry->width, geometry->height);
}

void XwaylandGeometry::waitForChange(QDeadlineTimer deadline)
{
    bool any = false;
    // Events already read along with a reply never make the socket readable.
    while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection)})
        any = true;
    if (any || !xcbWaitReadable(m_connection, deadline.deadline<std::chrono::steady_clock>()))
        return;
    while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection)}) {
    }
}
