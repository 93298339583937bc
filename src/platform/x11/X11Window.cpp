#include "platform/x11/X11Window.h"

#include "platform/x11/X11WindowSystem.h"

#include <algorithm>
#include <cmath>

namespace {

// X window sizes are 16-bit and positions signed 16-bit on the wire.
constexpr int largestSize = 32767;
constexpr int largestCoordinate = 32767;

constexpr uint32_t moveFlags = XCB_EWMH_MOVERESIZE_WINDOW_X | XCB_EWMH_MOVERESIZE_WINDOW_Y;
constexpr uint32_t sizeFlags = XCB_EWMH_MOVERESIZE_WINDOW_WIDTH | XCB_EWMH_MOVERESIZE_WINDOW_HEIGHT;

// Order on the wire: left, right, top, bottom. A claim no decoration could
// make (a 4096-pixel shadow) is taken as no decoration at all.
X11Window::Extents toExtents(const xcb_get_property_reply_t* reply)
{
    const auto v = propertyValues(reply, XCB_ATOM_CARDINAL);
    if (v.size() < 4 || std::ranges::any_of(v.first(4), [](uint32_t e) { return e > X11Window::largestExtent; }))
        return {};
    return {int(v[0]), int(v[1]), int(v[2]), int(v[3])};
}

bool fits(const QRect& r)
{
    return std::abs(r.x()) <= largestCoordinate && std::abs(r.y()) <= largestCoordinate && r.width() >= 1 &&
           r.height() >= 1 && r.width() <= largestSize && r.height() <= largestSize;
}

} // namespace

QRect X11Window::Geometry::outer() const
{
    return QRect(client.x() - frame.left + shadow.left, client.y() - frame.top + shadow.top,
                 client.width() + frame.left + frame.right - shadow.left - shadow.right,
                 client.height() + frame.top + frame.bottom - shadow.top - shadow.bottom);
}

X11Window::X11Window(X11WindowSystem& system, xcb_window_t window, const Geometry& geometry, bool maximized,
                     bool fullScreen)
    : m_system(system), m_window(window), m_geometry(geometry), m_maximized(maximized), m_fullScreen(fullScreen)
{
}

X11Window::~X11Window()
{
    watch(false);
}

X11Window::GeometryRequests X11Window::requestGeometry(X11WindowSystem& system, xcb_window_t window)
{
    xcb_connection_t* c = system.connection();
    return {xcb_get_geometry(c, window), xcb_translate_coordinates(c, window, system.root(), 0, 0),
            xcb_ewmh_get_frame_extents(&system.m_ewmh, window),
            xcb_get_property(c, 0, window, system.gtkFrameExtents(), XCB_ATOM_CARDINAL, 0, 4)};
}

std::expected<X11Window::Geometry, PlatformError> X11Window::readGeometry(X11WindowSystem& system,
                                                                          const GeometryRequests& requests)
{
    const auto geometry = system.await<xcb_get_geometry_reply_t>(requests.geometry.sequence);
    const auto position = system.await<xcb_translate_coordinates_reply_t>(requests.position.sequence);
    const auto frame = system.await<xcb_get_property_reply_t>(requests.frame.sequence);
    const auto shadow = system.await<xcb_get_property_reply_t>(requests.shadow.sequence);
    if (system.timedOut())
        return std::unexpected(PlatformError::timedOut);
    if (!geometry || !position || !frame || !shadow)
        return std::unexpected(PlatformError::windowGone);
    Geometry result;
    result.client = QRect(position->dst_x, position->dst_y, geometry->width, geometry->height);
    result.frame = toExtents(frame.get());
    result.shadow = toExtents(shadow.get());
    result.hasShadowProperty = shadow->type == XCB_ATOM_CARDINAL;
    // A shadow as wide as the window leaves nothing to see: not a shadow.
    if (result.shadow.left + result.shadow.right >= result.client.width() ||
        result.shadow.top + result.shadow.bottom >= result.client.height())
        result.shadow = {};
    return result;
}

std::expected<X11Window::Geometry, PlatformError> X11Window::currentGeometry()
{
    return readGeometry(m_system, requestGeometry(m_system, m_window));
}

// Structure events tell of every move and resize (the window manager sends a
// synthetic one for a move), property events of new state and decorations.
void X11Window::watch(bool on)
{
    if (on == m_watching || !m_system.connected())
        return;
    m_watching = on;
    const uint32_t mask = on ? XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE : XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(m_system.connection(), m_window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_system.connection());
    if (!on) {
        while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_system.connection())}) {
        }
    }
}

std::expected<QRectF, PlatformError> X11Window::setFrame(const QRectF& frame)
{
    if (!std::isfinite(frame.x()) || !std::isfinite(frame.y()) || !std::isfinite(frame.width()) ||
        !std::isfinite(frame.height()))
        return std::unexpected(PlatformError::invalidValue);
    return write(moveFlags | sizeFlags, WindowSystem::pixelFrame(frame));
}

std::expected<QRectF, PlatformError> X11Window::setSize(const QSizeF& size)
{
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()))
        return std::unexpected(PlatformError::invalidValue);
    const QRect outer = m_geometry.outer();
    return write(sizeFlags, QRect(outer.topLeft(), WindowSystem::pixelFrame(QRectF(outer.topLeft(), size)).size()));
}

std::expected<QRectF, PlatformError> X11Window::write(uint32_t flags, const QRect& target)
{
    m_system.begin();
    if (!m_system.connected())
        return std::unexpected(PlatformError::unreachable);
    if (m_fullScreen)
        return std::unexpected(PlatformError::refused);
    if (!fits(target))
        return std::unexpected(PlatformError::invalidValue);
    watch(true);
    const bool wasMaximized = m_maximized;
    if (m_maximized) {
        if (const auto restored = restore(); !restored)
            return std::unexpected(restored.error());
    }
    // GTK clears a client-side-decorated window's shadow while it is
    // maximized and puts it back only after redrawing at its restored size,
    // possibly after the frame has reached the target: wait for it too.
    const bool shadowDue = wasMaximized && m_geometry.hasShadowProperty && m_geometry.shadow == Extents{};
    const bool sizeOnly = !(flags & moveFlags);
    if (!sendMoveResize(flags, target))
        return std::unexpected(PlatformError::invalidValue);
    if (m_geometry.outer() == target && !shadowDue) {
        // Nothing to wait for: the window is where it was asked to be.
        const auto now = currentGeometry();
        if (!now)
            return std::unexpected(now.error());
        m_geometry = *now;
        return QRectF(m_geometry.outer());
    }
    const Geometry sent = m_geometry;
    auto settled = settle(target, sizeOnly, shadowDue);
    if (!settled)
        return std::unexpected(settled.error());
    // The decorations changed under the request (openbox redraws them a
    // moment after restoring a window): the sizes sent were computed for
    // the old ones, so ask once more with the new ones.
    if ((settled->frame != sent.frame || settled->shadow != sent.shadow) && settled->outer() != target) {
        m_geometry = *settled;
        if (!sendMoveResize(flags, target))
            return std::unexpected(PlatformError::invalidValue);
        settled = settle(target, sizeOnly, false);
        if (!settled)
            return std::unexpected(settled.error());
    }
    m_geometry = *settled;
    return QRectF(m_geometry.outer());
}

// One _NET_MOVERESIZE_WINDOW request carrying position and size together:
// window managers that get them as two requests push the state in between
// (the old size at the new place) back on screen. With NorthWest gravity the
// frame's top-left corner goes to x,y, while width and height are the client's.
bool X11Window::sendMoveResize(uint32_t flags, const QRect& target)
{
    const Extents& f = m_geometry.frame;
    const Extents& s = m_geometry.shadow;
    const int x = target.x() - s.left;
    const int y = target.y() - s.top;
    const int width = target.width() - f.left - f.right + s.left + s.right;
    const int height = target.height() - f.top - f.bottom + s.top + s.bottom;
    if (width < 1 || height < 1 || width > largestSize || height > largestSize)
        return false;
    xcb_ewmh_request_moveresize_window(&m_system.m_ewmh, m_system.m_screenNumber, m_window, XCB_GRAVITY_NORTH_WEST,
                                       XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                       static_cast<xcb_ewmh_moveresize_window_opt_flags_t>(flags),
                                       static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                                       static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    xcb_flush(m_system.connection());
    return true;
}

// Asks the window manager to un-maximize the window and waits, driven by
// events, for what ends it: the state property rewritten and the window
// reconfigured, and a client-side-decorated window's shadow put back (GTK
// clears it while maximized and restores it after). Waiting on the frame
// extents alone would wait for ever on managers that do not rewrite them.
std::expected<void, PlatformError> X11Window::restore()
{
    const xcb_ewmh_connection_t& ewmh = m_system.ewmh();
    xcb_ewmh_request_change_wm_state(&m_system.m_ewmh, m_system.m_screenNumber, m_window, XCB_EWMH_WM_STATE_REMOVE,
                                     ewmh._NET_WM_STATE_MAXIMIZED_VERT, ewmh._NET_WM_STATE_MAXIMIZED_HORZ,
                                     XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    xcb_flush(m_system.connection());

    const bool awaitShadow = m_geometry.hasShadowProperty && m_geometry.shadow == Extents{};
    bool stateChanged = false, configured = false, shadowChanged = false;
    const auto deadline = X11WindowSystem::Clock::now() + settleTimeout;
    while (!(stateChanged && configured && (shadowChanged || !awaitShadow))) {
        while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_system.connection())}) {
            switch (event->response_type & 0x7f) {
            case XCB_CONFIGURE_NOTIFY:
                configured |= reinterpret_cast<xcb_configure_notify_event_t*>(event.get())->window == m_window;
                break;
            case XCB_PROPERTY_NOTIFY: {
                const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event.get());
                if (notify->window != m_window)
                    break;
                stateChanged |= notify->atom == ewmh._NET_WM_STATE;
                shadowChanged |= notify->atom == m_system.gtkFrameExtents();
                break;
            }
            default:
                break;
            }
        }
        if (stateChanged && configured && (shadowChanged || !awaitShadow))
            break;
        if (!m_system.waitReadable(deadline))
            break;
    }
    m_maximized = false;
    m_system.begin();
    const auto now = currentGeometry();
    if (!now)
        return std::unexpected(now.error());
    m_geometry = *now;
    return {};
}

// Waits for the window manager's answer to a request: done as soon as the
// frame is the target, or once the frame has changed and then stayed quiet
// for quietPeriod (a terminal keeping to its character cells), or at
// settleTimeout when nothing changes at all (a refusal; a manager's
// synthetic "nothing changed" event does not end the wait, since on a busy
// machine the real answer may still be on its way). The frame is read after each batch of events,
// and once per quiet period in case the manager moved the frame without
// telling the client.
std::expected<X11Window::Geometry, PlatformError> X11Window::settle(const QRect& target, bool sizeOnly, bool shadowDue)
{
    const auto reached = [&](const Geometry& g) {
        if (shadowDue && g.shadow == Extents{})
            return false;
        return sizeOnly ? g.outer().size() == target.size() : g.outer() == target;
    };
    const auto deadline = X11WindowSystem::Clock::now() + settleTimeout;
    const QRect start = m_geometry.outer();
    bool changed = false;
    for (;;) {
        const auto quiet = std::min(deadline, X11WindowSystem::Clock::now() + quietPeriod);
        bool heard = false;
        if (m_system.waitReadable(quiet)) {
            while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(m_system.connection())}) {
                const uint8_t type = event->response_type & 0x7f;
                heard |= type == XCB_CONFIGURE_NOTIFY || type == XCB_PROPERTY_NOTIFY;
                if (type == XCB_DESTROY_NOTIFY || type == XCB_UNMAP_NOTIFY)
                    return std::unexpected(PlatformError::windowGone);
            }
        }
        m_system.begin();
        const auto now = currentGeometry();
        if (!now)
            return std::unexpected(now.error());
        const bool shadowPending = shadowDue && now->shadow == Extents{};
        if (reached(*now) || (changed && !heard && !shadowPending) || X11WindowSystem::Clock::now() >= deadline)
            return *now;
        changed |= now->outer() != start;
    }
}
