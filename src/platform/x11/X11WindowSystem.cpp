#include "platform/x11/X11WindowSystem.h"

#include "platform/x11/XcbReply.h"

#include <xcb/randr.h>
#include <xcb/xcb_icccm.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace {

constexpr int failure = 1;
// X window sizes are 16-bit and positions signed 16-bit on the wire.
constexpr double largestSize = 32767;
constexpr double largestCoordinate = 32767;

// The element for the frontmost application: on X11 that is its active window.
struct ApplicationElement final : WindowSystem::Element {
    explicit ApplicationElement(xcb_window_t w) : window(w) {}
    xcb_window_t window;
};

std::optional<int> wholeCoordinate(double value)
{
    if (!std::isfinite(value) || std::abs(value) > largestCoordinate)
        return std::nullopt;
    return static_cast<int>(std::lround(value));
}

bool contains(std::span<const uint32_t> values, xcb_atom_t atom)
{
    return std::ranges::find(values, atom) != values.end();
}

QRect rectOf(int x, int y, int width, int height)
{
    return {x, y, width, height};
}

} // namespace

// The focused window of one operation. It remembers what the first write
// learnt about the window (its decorations, whether it had to be restored)
// and the position written, so that the size write can place the far edges.
struct X11WindowSystem::WindowElement final : WindowSystem::Element {
    explicit WindowElement(xcb_window_t w) : window(w) {}
    xcb_window_t window;
    mutable bool prepared = false;
    mutable int preparedStatus = 0;
    mutable Extents frame;  // the window manager's decorations
    mutable Extents shadow; // a client-side-decorated window's invisible margin
    mutable std::optional<QPointF> writtenPosition;
};

std::unique_ptr<X11WindowSystem> X11WindowSystem::connect(const char* displayName)
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(displayName, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    std::unique_ptr<X11WindowSystem> system(new X11WindowSystem(connection, screenNumber));
    if (!system->m_atomsReady)
        return nullptr;
    return system;
}

X11WindowSystem::X11WindowSystem(xcb_connection_t* connection, int screenNumber) : m_screenNumber(screenNumber)
{
    static constexpr char gtkFrameExtents[] = "_GTK_FRAME_EXTENTS";
    xcb_intern_atom_cookie_t* ewmhCookies = xcb_ewmh_init_atoms(connection, &m_ewmh);
    const xcb_intern_atom_cookie_t gtkCookie = xcb_intern_atom(connection, 0, sizeof gtkFrameExtents - 1, gtkFrameExtents);
    xcb_prefetch_extension_data(connection, &xcb_randr_id);
    m_atomsReady = ewmhCookies && xcb_ewmh_init_atoms_replies(&m_ewmh, ewmhCookies, nullptr) != 0;
    if (const auto atom = xcbReply<xcb_intern_atom_reply>(connection, gtkCookie))
        m_gtkFrameExtents = atom->atom;
    m_atomsReady = m_atomsReady && m_screenNumber >= 0 && m_screenNumber < m_ewmh.nb_screens;
    if (!m_atomsReady)
        m_ewmh.connection = connection; // so the destructor still disconnects
}

X11WindowSystem::~X11WindowSystem()
{
    xcb_connection_t* connection = m_ewmh.connection;
    if (m_atomsReady)
        xcb_ewmh_connection_wipe(&m_ewmh);
    xcb_disconnect(connection);
}

bool X11WindowSystem::connected() const
{
    return xcb_connection_has_error(m_ewmh.connection) == 0;
}

xcb_window_t X11WindowSystem::root() const
{
    return m_ewmh.screens[m_screenNumber]->root;
}

bool X11WindowSystem::isProcessTrusted(bool)
{
    return true;
}

std::optional<WindowSystem::ApplicationId> X11WindowSystem::frontmostApplication()
{
    if (!connected())
        return std::nullopt;
    xcb_connection_t* c = m_ewmh.connection;
    const auto activeCookie = xcb_ewmh_get_active_window(&m_ewmh, m_screenNumber);
    const auto checkCookie = xcb_ewmh_get_supporting_wm_check(&m_ewmh, root());

    // A stale _NET_ACTIVE_WINDOW left behind by a window manager that has
    // gone means nothing: only trust it while the manager's check window
    // still names itself.
    const auto check = xcbReply<xcb_get_property_reply>(c, checkCookie);
    const auto checkWindow = propertyValues(check.get(), XCB_ATOM_WINDOW);
    const auto active = xcbReply<xcb_get_property_reply>(c, activeCookie);
    if (checkWindow.empty())
        return std::nullopt;
    const auto selfCheck = xcbReply<xcb_get_property_reply>(c, xcb_ewmh_get_supporting_wm_check(&m_ewmh, checkWindow[0]));
    const auto selfWindow = propertyValues(selfCheck.get(), XCB_ATOM_WINDOW);
    if (selfWindow.empty() || selfWindow[0] != checkWindow[0])
        return std::nullopt;

    const auto activeWindow = propertyValues(active.get(), XCB_ATOM_WINDOW);
    if (activeWindow.empty() || activeWindow[0] == XCB_WINDOW_NONE)
        return std::nullopt;
    return activeWindow[0];
}

WindowSystem::ElementPtr X11WindowSystem::createApplicationElement(ApplicationId application)
{
    if (application == XCB_WINDOW_NONE || application > std::numeric_limits<xcb_window_t>::max())
        return nullptr;
    return std::make_unique<ApplicationElement>(static_cast<xcb_window_t>(application));
}

WindowSystem::FocusedWindow X11WindowSystem::copyFocusedWindow(const Element& application)
{
    const auto* app = dynamic_cast<const ApplicationElement*>(&application);
    if (!app || !connected())
        return {failure, nullptr};
    xcb_connection_t* c = m_ewmh.connection;
    const xcb_window_t window = app->window;
    const auto typeCookie = xcb_ewmh_get_wm_window_type(&m_ewmh, window);
    const auto pidCookie = xcb_ewmh_get_wm_pid(&m_ewmh, window);
    const auto machineCookie = xcb_icccm_get_wm_client_machine(c, window);

    const auto type = xcbReply<xcb_get_property_reply>(c, typeCookie);
    const auto pid = xcbReply<xcb_get_property_reply>(c, pidCookie);
    const auto machine = xcbReply<xcb_get_property_reply>(c, machineCookie);
    if (!type || !pid || !machine)
        return {failure, nullptr}; // the window has gone

    const auto types = propertyValues(type.get(), XCB_ATOM_ATOM);
    if (contains(types, m_ewmh._NET_WM_WINDOW_TYPE_DESKTOP) || contains(types, m_ewmh._NET_WM_WINDOW_TYPE_DOCK))
        return {0, nullptr};
    if (isOwnWindow(pid.get(), machine.get()))
        return {0, nullptr};
    return {0, std::make_unique<WindowElement>(window)};
}

// Our own windows (the Settings window, say) are never the target: acting on
// them from our own menu would resize the window the user is working in.
bool X11WindowSystem::isOwnWindow(const xcb_get_property_reply_t* pid, const xcb_get_property_reply_t* machine)
{
    const auto pids = propertyValues(pid, XCB_ATOM_CARDINAL);
    if (pids.empty() || pids[0] != static_cast<uint32_t>(::getpid()))
        return false;
    // The same process id on another host is another process.
    const int length = machine && machine->format == 8 ? xcb_get_property_value_length(machine) : 0;
    if (length <= 0)
        return true;
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0)
        return true;
    const auto* name = static_cast<const char*>(xcb_get_property_value(machine));
    return std::strlen(host) == static_cast<size_t>(length) && std::memcmp(host, name, static_cast<size_t>(length)) == 0;
}

std::optional<WindowSystem::Screen> X11WindowSystem::mainScreen()
{
    if (!connected())
        return std::nullopt;
    xcb_connection_t* c = m_ewmh.connection;
    const xcb_screen_t* screen = m_ewmh.screens[m_screenNumber];
    const xcb_window_t rootWindow = screen->root;

    const auto desktopCookie = xcb_ewmh_get_current_desktop(&m_ewmh, m_screenNumber);
    const auto workareaCookie = xcb_ewmh_get_workarea(&m_ewmh, m_screenNumber);
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    const bool hasRandr = randr && randr->present;
    xcb_randr_get_screen_resources_current_cookie_t resourcesCookie{};
    xcb_randr_get_output_primary_cookie_t primaryCookie{};
    if (hasRandr) {
        resourcesCookie = xcb_randr_get_screen_resources_current(c, rootWindow);
        primaryCookie = xcb_randr_get_output_primary(c, rootWindow);
    }

    // The whole root window unless RandR names a better main screen.
    QRect frame = rectOf(0, 0, screen->width_in_pixels, screen->height_in_pixels);
    if (hasRandr) {
        const auto resources = xcbReply<xcb_randr_get_screen_resources_current_reply>(c, resourcesCookie);
        const auto primary = xcbReply<xcb_randr_get_output_primary_reply>(c, primaryCookie);
        std::optional<QRect> chosen;
        if (resources && primary && primary->output != XCB_NONE) {
            const auto output = xcbReply<xcb_randr_get_output_info_reply>(
                c, xcb_randr_get_output_info(c, primary->output, resources->config_timestamp));
            if (output && output->crtc != XCB_NONE) {
                const auto crtc = xcbReply<xcb_randr_get_crtc_info_reply>(
                    c, xcb_randr_get_crtc_info(c, output->crtc, resources->config_timestamp));
                if (crtc && crtc->mode != XCB_NONE && crtc->width > 0 && crtc->height > 0)
                    chosen = rectOf(crtc->x, crtc->y, crtc->width, crtc->height);
            }
        }
        if (!chosen && resources) {
            // No primary output: the one holding the origin, as most desktops treat it.
            const xcb_randr_crtc_t* crtcs = xcb_randr_get_screen_resources_current_crtcs(resources.get());
            const int count = xcb_randr_get_screen_resources_current_crtcs_length(resources.get());
            std::vector<xcb_randr_get_crtc_info_cookie_t> cookies;
            cookies.reserve(static_cast<size_t>(std::max(count, 0)));
            for (int i = 0; i < count; ++i)
                cookies.push_back(xcb_randr_get_crtc_info(c, crtcs[i], resources->config_timestamp));
            for (const auto& cookie : cookies) {
                const auto crtc = xcbReply<xcb_randr_get_crtc_info_reply>(c, cookie);
                const QRect rect = crtc ? rectOf(crtc->x, crtc->y, crtc->width, crtc->height) : QRect();
                if (!chosen && crtc && crtc->mode != XCB_NONE && !rect.isEmpty() && rect.contains(0, 0))
                    chosen = rect;
            }
        }
        if (chosen)
            frame = *chosen;
    }

    // _NET_WORKAREA holds one rectangle per desktop; panels and docks are
    // outside it. Some window managers write it only while something
    // reserves space, so a missing one means the whole screen is usable.
    QRect visible = frame;
    const auto desktopReply = xcbReply<xcb_get_property_reply>(c, desktopCookie);
    const auto workareaReply = xcbReply<xcb_get_property_reply>(c, workareaCookie);
    const auto desktop = propertyValues(desktopReply.get(), XCB_ATOM_CARDINAL);
    const auto workarea = propertyValues(workareaReply.get(), XCB_ATOM_CARDINAL);
    const size_t index = desktop.empty() ? 0 : desktop[0];
    if (index < workarea.size() / 4) {
        const auto* area = &workarea[index * 4];
        const QRect usable = frame.intersected(rectOf(static_cast<int>(area[0]), static_cast<int>(area[1]),
                                                      static_cast<int>(area[2]), static_cast<int>(area[3])));
        if (!usable.isEmpty())
            visible = usable;
    }

    // Flip into bottom-left coordinates around the main screen's height.
    const int height = frame.height();
    const auto flipped = [height](const QRect& r) {
        return QRectF(r.x(), height - r.y() - r.height(), r.width(), r.height());
    };
    return Screen{flipped(frame), flipped(visible)};
}

// Reads what the writes need to know about the window, once per operation:
// its state (a maximized window ignores moves and resizes until restored, a
// full-screen one is left alone) and its decorations.
int X11WindowSystem::prepare(const WindowElement& element)
{
    if (element.prepared)
        return element.preparedStatus;
    element.prepared = true;
    element.preparedStatus = failure;
    if (!connected())
        return failure;
    xcb_connection_t* c = m_ewmh.connection;
    const xcb_window_t window = element.window;
    const auto stateCookie = xcb_ewmh_get_wm_state(&m_ewmh, window);
    auto frameCookie = xcb_ewmh_get_frame_extents(&m_ewmh, window);
    const auto gtkCookie = xcb_get_property(c, 0, window, m_gtkFrameExtents, XCB_ATOM_CARDINAL, 0, 4);

    const auto state = xcbReply<xcb_get_property_reply>(c, stateCookie);
    if (!state) {
        xcb_discard_reply(c, frameCookie.sequence);
        xcb_discard_reply(c, gtkCookie.sequence);
        return failure; // the window has gone
    }
    const auto states = propertyValues(state.get(), XCB_ATOM_ATOM);
    if (contains(states, m_ewmh._NET_WM_STATE_FULLSCREEN)) {
        xcb_discard_reply(c, frameCookie.sequence);
        xcb_discard_reply(c, gtkCookie.sequence);
        return failure;
    }
    if (contains(states, m_ewmh._NET_WM_STATE_MAXIMIZED_VERT) || contains(states, m_ewmh._NET_WM_STATE_MAXIMIZED_HORZ)) {
        xcb_discard_reply(c, frameCookie.sequence);
        restore(window);
        frameCookie = xcb_ewmh_get_frame_extents(&m_ewmh, window);
    }

    const auto frameReply = xcbReply<xcb_get_property_reply>(c, frameCookie);
    const auto gtkReply = xcbReply<xcb_get_property_reply>(c, gtkCookie);
    if (!frameReply || !gtkReply)
        return failure;
    const auto toExtents = [](std::span<const uint32_t> v) {
        // Order on the wire: left, right, top, bottom. Absurd values are ignored.
        if (v.size() < 4 || std::ranges::any_of(v.first(4), [](uint32_t e) { return e > 4096; }))
            return Extents{};
        return Extents{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3])};
    };
    element.frame = toExtents(propertyValues(frameReply.get(), XCB_ATOM_CARDINAL));
    element.shadow = toExtents(propertyValues(gtkReply.get(), XCB_ATOM_CARDINAL));
    element.preparedStatus = 0;
    return 0;
}

// Asks the window manager to un-maximize the window and waits, driven by
// events and bounded by restoreTimeout, until it has put the new decorations
// in place: openbox changes the state first and the frame extents a few
// milliseconds later, and a size computed in between would be off by the
// maximized decorations.
void X11WindowSystem::restore(xcb_window_t window)
{
    xcb_connection_t* c = m_ewmh.connection;
    const uint32_t propertyChanges = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &propertyChanges);
    xcb_ewmh_request_change_wm_state(&m_ewmh, m_screenNumber, window, XCB_EWMH_WM_STATE_REMOVE,
                                     m_ewmh._NET_WM_STATE_MAXIMIZED_VERT, m_ewmh._NET_WM_STATE_MAXIMIZED_HORZ,
                                     XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    xcb_flush(c);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + restoreTimeout;
    bool settled = false;
    while (!settled && connected()) {
        while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
            if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                continue;
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
            if (notify->window == window && notify->atom == m_ewmh._NET_FRAME_EXTENTS)
                settled = true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (settled || left.count() <= 0)
            break;
        pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
        if (::poll(&descriptor, 1, static_cast<int>(left.count())) <= 0)
            break;
    }
    const uint32_t noEvents = XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &noEvents);
}

// One _NET_MOVERESIZE_WINDOW request. With NorthWest gravity openbox puts the
// frame's top-left corner at x,y, while width and height are the client's.
// The window is then looked up, so a window that has vanished is a failure
// rather than a request the window manager silently drops.
int X11WindowSystem::moveResize(xcb_window_t window, uint32_t flags, int x, int y, int width, int height)
{
    xcb_connection_t* c = m_ewmh.connection;
    xcb_ewmh_request_moveresize_window(&m_ewmh, m_screenNumber, window, XCB_GRAVITY_NORTH_WEST,
                                       XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                       static_cast<xcb_ewmh_moveresize_window_opt_flags_t>(flags),
                                       static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                                       static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    const auto geometry = xcbReply<xcb_get_geometry_reply>(c, xcb_get_geometry(c, window));
    return geometry && connected() ? 0 : failure;
}

int X11WindowSystem::setPosition(const Element& window, QPointF position)
{
    const auto* element = dynamic_cast<const WindowElement*>(&window);
    const std::optional<int> x = wholeCoordinate(position.x());
    const std::optional<int> y = wholeCoordinate(position.y());
    if (!element || !x || !y)
        return failure;
    if (const int status = prepare(*element); status != 0)
        return status;
    element->writtenPosition = position;
    // A client-side-decorated window's visible frame starts inside its shadow.
    return moveResize(element->window, XCB_EWMH_MOVERESIZE_WINDOW_X | XCB_EWMH_MOVERESIZE_WINDOW_Y,
                      *x - element->shadow.left, *y - element->shadow.top, 0, 0);
}

int X11WindowSystem::setSize(const Element& window, QSizeF size)
{
    const auto* element = dynamic_cast<const WindowElement*>(&window);
    if (!element || !std::isfinite(size.width()) || !std::isfinite(size.height()))
        return failure;
    if (size.width() < 1 || size.height() < 1 || size.width() > largestSize || size.height() > largestSize)
        return failure;
    if (const int status = prepare(*element); status != 0)
        return status;

    // After a position write, round the far edges rather than the sizes, so
    // that thirds of a width that does not divide by three meet edge to edge.
    int width = static_cast<int>(std::lround(size.width()));
    int height = static_cast<int>(std::lround(size.height()));
    if (const auto& at = element->writtenPosition) {
        width = static_cast<int>(std::lround(at->x() + size.width()) - std::lround(at->x()));
        height = static_cast<int>(std::lround(at->y() + size.height()) - std::lround(at->y()));
    }
    const Extents& frame = element->frame;
    const Extents& shadow = element->shadow;
    const int clientWidth = width - frame.left - frame.right + shadow.left + shadow.right;
    const int clientHeight = height - frame.top - frame.bottom + shadow.top + shadow.bottom;
    if (clientWidth < 1 || clientHeight < 1 || clientWidth > largestSize || clientHeight > largestSize)
        return failure;
    return moveResize(element->window, XCB_EWMH_MOVERESIZE_WINDOW_WIDTH | XCB_EWMH_MOVERESIZE_WINDOW_HEIGHT, 0, 0,
                      clientWidth, clientHeight);
}
