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
#include <utility>

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

// The focused window of one operation. It carries what the lookup learnt
// about the window (its state and decorations), whether the first write has
// restored it, and the position written, so that the size write can place
// the far edges.
struct X11WindowSystem::WindowElement final : WindowSystem::Element {
    explicit WindowElement(xcb_window_t w) : window(w) {}
    xcb_window_t window;
    bool fullScreen = false;
    mutable bool maximized = false;
    mutable bool prepared = false;
    mutable int preparedStatus = 0;
    mutable Extents frame;  // the window manager's decorations
    Extents shadow;         // a client-side-decorated window's invisible margin
    mutable std::optional<QPointF> writtenPosition;
};

namespace {

X11WindowSystem::Extents toExtents(const xcb_get_property_reply_t* reply)
{
    // Order on the wire: left, right, top, bottom. Absurd values are ignored.
    const auto v = propertyValues(reply, XCB_ATOM_CARDINAL);
    if (v.size() < 4 || std::ranges::any_of(v.first(4), [](uint32_t e) { return e > 4096; }))
        return {};
    return {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3])};
}

} // namespace

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
    if (m_atomsReady) {
        discardPending();
        xcb_ewmh_connection_wipe(&m_ewmh);
    }
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
    discardPending();
    if (!connected())
        return std::nullopt;
    xcb_connection_t* c = m_ewmh.connection;
    const auto activeCookie = xcb_ewmh_get_active_window(&m_ewmh, m_screenNumber);
    const auto checkCookie = xcb_ewmh_get_supporting_wm_check(&m_ewmh, root());
    m_pendingScreen = requestScreen();

    // A stale _NET_ACTIVE_WINDOW left behind by a window manager that has
    // gone means nothing: only trust it while the manager's check window
    // still names itself.
    const auto check = xcbReply<xcb_get_property_reply>(c, checkCookie);
    const auto checkWindow = propertyValues(check.get(), XCB_ATOM_WINDOW);
    const auto active = xcbReply<xcb_get_property_reply>(c, activeCookie);
    if (checkWindow.empty())
        return std::nullopt;
    const auto selfCheckCookie = xcb_ewmh_get_supporting_wm_check(&m_ewmh, checkWindow[0]);
    const auto activeWindow = propertyValues(active.get(), XCB_ATOM_WINDOW);
    const xcb_window_t window = activeWindow.empty() ? xcb_window_t{XCB_WINDOW_NONE} : activeWindow[0];
    if (window != XCB_WINDOW_NONE)
        m_pendingLookup = requestLookup(window);

    const auto selfCheck = xcbReply<xcb_get_property_reply>(c, selfCheckCookie);
    const auto selfWindow = propertyValues(selfCheck.get(), XCB_ATOM_WINDOW);
    if (selfWindow.empty() || selfWindow[0] != checkWindow[0] || window == XCB_WINDOW_NONE)
        return std::nullopt;
    return window;
}

void X11WindowSystem::discardPending()
{
    xcb_connection_t* c = m_ewmh.connection;
    if (const auto screen = std::exchange(m_pendingScreen, std::nullopt)) {
        xcb_discard_reply(c, screen->desktop.sequence);
        xcb_discard_reply(c, screen->workarea.sequence);
        if (screen->monitors)
            xcb_discard_reply(c, screen->monitors->sequence);
    }
    if (const auto lookup = std::exchange(m_pendingLookup, std::nullopt)) {
        for (const auto& cookie : {lookup->type, lookup->pid, lookup->machine, lookup->state, lookup->frame, lookup->shadow})
            xcb_discard_reply(c, cookie.sequence);
    }
}

WindowSystem::ElementPtr X11WindowSystem::createApplicationElement(ApplicationId application)
{
    if (application == XCB_WINDOW_NONE || application > std::numeric_limits<xcb_window_t>::max())
        return nullptr;
    return std::make_unique<ApplicationElement>(static_cast<xcb_window_t>(application));
}

// Everything the writes will need is asked for with the window's kind and
// owner, in one round trip.
X11WindowSystem::LookupRequests X11WindowSystem::requestLookup(xcb_window_t window)
{
    xcb_connection_t* c = m_ewmh.connection;
    return {window,
            xcb_ewmh_get_wm_window_type(&m_ewmh, window),
            xcb_ewmh_get_wm_pid(&m_ewmh, window),
            xcb_icccm_get_wm_client_machine(c, window),
            xcb_ewmh_get_wm_state(&m_ewmh, window),
            xcb_ewmh_get_frame_extents(&m_ewmh, window),
            xcb_get_property(c, 0, window, m_gtkFrameExtents, XCB_ATOM_CARDINAL, 0, 4)};
}

WindowSystem::FocusedWindow X11WindowSystem::copyFocusedWindow(const Element& application)
{
    const auto* app = dynamic_cast<const ApplicationElement*>(&application);
    if (!app || !connected())
        return {failure, nullptr};
    if (m_pendingLookup && m_pendingLookup->window == app->window)
        return readLookup(*std::exchange(m_pendingLookup, std::nullopt));
    return readLookup(requestLookup(app->window));
}

WindowSystem::FocusedWindow X11WindowSystem::readLookup(const LookupRequests& requests)
{
    xcb_connection_t* c = m_ewmh.connection;
    const auto type = xcbReply<xcb_get_property_reply>(c, requests.type);
    const auto pid = xcbReply<xcb_get_property_reply>(c, requests.pid);
    const auto machine = xcbReply<xcb_get_property_reply>(c, requests.machine);
    const auto state = xcbReply<xcb_get_property_reply>(c, requests.state);
    const auto frame = xcbReply<xcb_get_property_reply>(c, requests.frame);
    const auto shadow = xcbReply<xcb_get_property_reply>(c, requests.shadow);
    if (!type || !pid || !machine || !state || !frame || !shadow)
        return {failure, nullptr}; // the window has gone (a stale _NET_ACTIVE_WINDOW)

    const auto types = propertyValues(type.get(), XCB_ATOM_ATOM);
    if (contains(types, m_ewmh._NET_WM_WINDOW_TYPE_DESKTOP) || contains(types, m_ewmh._NET_WM_WINDOW_TYPE_DOCK))
        return {0, nullptr};
    if (isOwnWindow(pid.get(), machine.get()))
        return {0, nullptr};

    auto element = std::make_unique<WindowElement>(requests.window);
    const auto states = propertyValues(state.get(), XCB_ATOM_ATOM);
    element->fullScreen = contains(states, m_ewmh._NET_WM_STATE_FULLSCREEN);
    element->maximized =
        contains(states, m_ewmh._NET_WM_STATE_MAXIMIZED_VERT) || contains(states, m_ewmh._NET_WM_STATE_MAXIMIZED_HORZ);
    element->frame = toExtents(frame.get());
    element->shadow = toExtents(shadow.get());
    return {0, std::move(element)};
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
    std::optional<ScreenRequests> requests = std::exchange(m_pendingScreen, std::nullopt);
    return readScreen(requests ? *requests : requestScreen());
}

X11WindowSystem::ScreenRequests X11WindowSystem::requestScreen()
{
    xcb_connection_t* c = m_ewmh.connection;
    ScreenRequests requests{xcb_ewmh_get_current_desktop(&m_ewmh, m_screenNumber),
                            xcb_ewmh_get_workarea(&m_ewmh, m_screenNumber), std::nullopt};
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (randr && randr->present)
        requests.monitors = xcb_randr_get_monitors(c, root(), 1);
    return requests;
}

std::optional<WindowSystem::Screen> X11WindowSystem::readScreen(const ScreenRequests& requests)
{
    xcb_connection_t* c = m_ewmh.connection;
    const xcb_screen_t* screen = m_ewmh.screens[m_screenNumber];

    // The whole root window unless RandR names a better main screen: the
    // primary monitor, else the one holding the origin, as desktops treat it.
    QRect frame = rectOf(0, 0, screen->width_in_pixels, screen->height_in_pixels);
    const auto monitors =
        requests.monitors ? xcbReply<xcb_randr_get_monitors_reply>(c, *requests.monitors) : nullptr;
    if (monitors) {
        std::optional<QRect> primary, atOrigin;
        for (auto it = xcb_randr_get_monitors_monitors_iterator(monitors.get()); it.rem; xcb_randr_monitor_info_next(&it)) {
            const QRect rect = rectOf(it.data->x, it.data->y, it.data->width, it.data->height);
            if (rect.isEmpty())
                continue;
            if (it.data->primary && !primary)
                primary = rect;
            if (rect.contains(0, 0) && !atOrigin)
                atOrigin = rect;
        }
        frame = primary.value_or(atOrigin.value_or(frame));
    }

    // _NET_WORKAREA holds one rectangle per desktop; panels and docks are
    // outside it. Some window managers write it only while something
    // reserves space, so a missing one means the whole screen is usable.
    QRect visible = frame;
    const auto desktopReply = xcbReply<xcb_get_property_reply>(c, requests.desktop);
    const auto workareaReply = xcbReply<xcb_get_property_reply>(c, requests.workarea);
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

// Before the first write of an operation: a full-screen window is left alone,
// and a maximized one, which ignores moves and resizes, is restored first.
int X11WindowSystem::prepare(const WindowElement& element)
{
    if (element.prepared)
        return element.preparedStatus;
    element.prepared = true;
    element.preparedStatus = failure;
    if (!connected() || element.fullScreen)
        return failure;
    if (element.maximized) {
        restore(element.window);
        xcb_connection_t* c = m_ewmh.connection;
        const auto frame = xcbReply<xcb_get_property_reply>(c, xcb_ewmh_get_frame_extents(&m_ewmh, element.window));
        if (!frame)
            return failure;
        element.frame = toExtents(frame.get());
        element.maximized = false;
    }
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
