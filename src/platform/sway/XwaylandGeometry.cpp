#include "platform/sway/XwaylandGeometry.h"

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <poll.h>

#include <algorithm>
#include <cstdlib>

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

} // namespace

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

bool XwaylandGeometry::waitReadable(QDeadlineTimer deadline)
{
    if (xcb_connection_has_error(m_connection))
        return false;
    pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    const auto left = static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, 60000));
    return ::poll(&descriptor, 1, left) > 0;
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
    xcb_flush(m_connection);

    // xcb's own reply calls would block for as long as the server is silent.
    // Null for an error; nullopt for a reply that has not come.
    auto await = [&](unsigned int sequence) -> std::optional<Reply<void>> {
        for (;;) {
            void* reply = nullptr;
            xcb_generic_error_t* error = nullptr;
            if (xcb_poll_for_reply(m_connection, sequence, &reply, &error)) {
                std::free(error);
                return Reply<void>{reply, &std::free};
            }
            if (!waitReadable(deadline)) {
                // It must not be taken for the reply to a later request.
                xcb_discard_reply(m_connection, sequence);
                return std::nullopt;
            }
        }
    };
    const auto geometry = await(geometryCookie.sequence);
    const auto position = await(positionCookie.sequence);
    if (!geometry || !position || !*geometry || !*position)
        return std::nullopt;
    const auto* size = static_cast<const xcb_get_geometry_reply_t*>(geometry->get());
    const auto* origin = static_cast<const xcb_translate_coordinates_reply_t*>(position->get());
    return QRect(origin->dst_x, origin->dst_y, size->width, size->height);
}

void XwaylandGeometry::waitForChange(QDeadlineTimer deadline)
{
    bool any = false;
    // Events already read along with a reply never make the socket readable.
    while (Reply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection), &std::free})
        any = true;
    if (any || !waitReadable(deadline))
        return;
    while (Reply<xcb_generic_event_t> event{xcb_poll_for_event(m_connection), &std::free}) {
    }
}
