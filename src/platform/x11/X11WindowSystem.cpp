#include "platform/x11/X11WindowSystem.h"

#include "platform/x11/X11Window.h"

#include <xcb/xcb_icccm.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

namespace {

bool contains(std::span<const uint32_t> values, xcb_atom_t atom)
{
    return std::ranges::find(values, atom) != values.end();
}

// Rectangles other clients wrote (the work area) are clamped to what an X
// screen can hold before any arithmetic, so absurd values cannot overflow.
QRect clampedRect(uint32_t x, uint32_t y, uint32_t width, uint32_t height)
{
    const auto clamp = [](uint32_t v, int high) { return static_cast<int>(std::min<uint32_t>(v, uint32_t(high))); };
    return {clamp(x, 32767), clamp(y, 32767), clamp(width, 32767), clamp(height, 32767)};
}

xcb_atom_t internAtom(xcb_connection_t* c, const std::string& name)
{
    const auto reply = xcbReply<xcb_intern_atom_reply>(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.data()));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
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

// Connecting asks for the atoms with blocking replies: a server that does not
// answer its own handshake could not be used anyway.
X11WindowSystem::X11WindowSystem(xcb_connection_t* connection, int screenNumber) : m_screenNumber(screenNumber)
{
    xcb_intern_atom_cookie_t* ewmhCookies = xcb_ewmh_init_atoms(connection, &m_ewmh);
    xcb_prefetch_extension_data(connection, &xcb_randr_id);
    m_atomsReady = ewmhCookies && xcb_ewmh_init_atoms_replies(&m_ewmh, ewmhCookies, nullptr) != 0;
    m_atomsReady = m_atomsReady && m_screenNumber >= 0 && m_screenNumber < m_ewmh.nb_screens;
    if (!m_atomsReady) {
        m_ewmh.connection = connection; // so the destructor still disconnects
        return;
    }
    m_gtkFrameExtents = internAtom(connection, "_GTK_FRAME_EXTENTS");
    m_systemTray = internAtom(connection, "_NET_SYSTEM_TRAY_S" + std::to_string(m_screenNumber));
    m_i3SocketPath = internAtom(connection, "I3_SOCKET_PATH");
    m_utf8String = m_ewmh.UTF8_STRING;
}

X11WindowSystem::~X11WindowSystem()
{
    xcb_connection_t* c = m_ewmh.connection;
    if (m_atomsReady) {
        discardPending();
        xcb_ewmh_connection_wipe(&m_ewmh);
    }
    xcb_disconnect(c);
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

void X11WindowSystem::begin()
{
    m_deadline = Clock::now() + replyTimeout;
    m_timedOut = false;
}

bool X11WindowSystem::waitReadable(Clock::time_point deadline)
{
    return connected() && xcbWaitReadable(connection(), deadline);
}

void X11WindowSystem::discardPending()
{
    if (const auto screens = std::exchange(m_pendingScreens, std::nullopt)) {
        xcb_discard_reply(connection(), screens->desktop.sequence);
        xcb_discard_reply(connection(), screens->workarea.sequence);
        if (screens->monitors)
            xcb_discard_reply(connection(), screens->monitors->sequence);
    }
}

bool X11WindowSystem::hasWindowManager()
{
    begin();
    if (!connected())
        return false;
    const auto check = await<xcb_get_property_reply_t>(xcb_ewmh_get_supporting_wm_check(&m_ewmh, root()).sequence);
    const auto checkWindow = propertyValues(check.get(), XCB_ATOM_WINDOW);
    if (checkWindow.empty())
        return false;
    const auto self =
        await<xcb_get_property_reply_t>(xcb_ewmh_get_supporting_wm_check(&m_ewmh, checkWindow[0]).sequence);
    const auto selfWindow = propertyValues(self.get(), XCB_ATOM_WINDOW);
    return !selfWindow.empty() && selfWindow[0] == checkWindow[0];
}

bool X11WindowSystem::hasSystemTray()
{
    begin();
    if (!connected() || m_systemTray == XCB_ATOM_NONE)
        return false;
    const auto owner =
        await<xcb_get_selection_owner_reply_t>(xcb_get_selection_owner(connection(), m_systemTray).sequence);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

QString X11WindowSystem::i3SocketPath()
{
    begin();
    if (!connected() || m_i3SocketPath == XCB_ATOM_NONE)
        return {};
    const auto reply = await<xcb_get_property_reply_t>(
        xcb_get_property(connection(), 0, root(), m_i3SocketPath, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024).sequence);
    if (!reply || reply->format != 8 || (reply->type != m_utf8String && reply->type != XCB_ATOM_STRING))
        return {};
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
}

std::expected<std::unique_ptr<Window>, PlatformError> X11WindowSystem::focusedWindow()
{
    discardPending();
    begin();
    if (!connected())
        return std::unexpected(PlatformError::unreachable);
    const auto activeCookie = xcb_ewmh_get_active_window(&m_ewmh, m_screenNumber);
    const auto checkCookie = xcb_ewmh_get_supporting_wm_check(&m_ewmh, root());
    // What screens() will read is asked for now, to share the round trips.
    m_pendingScreens = requestScreens();

    // A stale _NET_ACTIVE_WINDOW left behind by a window manager that has
    // gone means nothing: only trust it while the manager's check window
    // still names itself.
    const auto check = await<xcb_get_property_reply_t>(checkCookie.sequence);
    const auto active = await<xcb_get_property_reply_t>(activeCookie.sequence);
    if (m_timedOut)
        return std::unexpected(PlatformError::timedOut);
    const auto checkWindow = propertyValues(check.get(), XCB_ATOM_WINDOW);
    const auto activeWindow = propertyValues(active.get(), XCB_ATOM_WINDOW);
    if (checkWindow.empty() || activeWindow.empty() || activeWindow[0] == XCB_WINDOW_NONE)
        return std::unexpected(PlatformError::noFrontmostApplication);
    const xcb_window_t window = activeWindow[0];

    const auto selfCheckCookie = xcb_ewmh_get_supporting_wm_check(&m_ewmh, checkWindow[0]);
    const LookupRequests lookup = requestLookup(window);
    const auto selfCheck = await<xcb_get_property_reply_t>(selfCheckCookie.sequence);
    auto found = readLookup(lookup);
    if (m_timedOut)
        return std::unexpected(PlatformError::timedOut);
    const auto selfWindow = propertyValues(selfCheck.get(), XCB_ATOM_WINDOW);
    if (selfWindow.empty() || selfWindow[0] != checkWindow[0])
        return std::unexpected(PlatformError::noFrontmostApplication);
    return found;
}

std::expected<std::unique_ptr<Window>, PlatformError> X11WindowSystem::window(xcb_window_t window)
{
    begin();
    if (!connected())
        return std::unexpected(PlatformError::unreachable);
    return readLookup(requestLookup(window));
}

// What the writes will need is asked for with the window's kind and owner.
X11WindowSystem::LookupRequests X11WindowSystem::requestLookup(xcb_window_t window)
{
    return {window,
            xcb_ewmh_get_wm_window_type(&m_ewmh, window),
            xcb_ewmh_get_wm_pid(&m_ewmh, window),
            xcb_icccm_get_wm_client_machine(connection(), window),
            xcb_ewmh_get_wm_state(&m_ewmh, window),
            X11Window::requestGeometry(*this, window)};
}

std::expected<std::unique_ptr<Window>, PlatformError> X11WindowSystem::readLookup(const LookupRequests& requests)
{
    const auto type = await<xcb_get_property_reply_t>(requests.type.sequence);
    const auto pid = await<xcb_get_property_reply_t>(requests.pid.sequence);
    const auto machine = await<xcb_get_property_reply_t>(requests.machine.sequence);
    const auto state = await<xcb_get_property_reply_t>(requests.state.sequence);
    const auto geometry = X11Window::readGeometry(*this, requests.geometry);
    if (m_timedOut)
        return std::unexpected(PlatformError::timedOut);
    // A window that has gone (openbox leaves _NET_ACTIVE_WINDOW naming it).
    if (!type || !pid || !machine || !state || !geometry)
        return std::unexpected(PlatformError::noFocusedWindow);

    const auto types = propertyValues(type.get(), XCB_ATOM_ATOM);
    if (contains(types, m_ewmh._NET_WM_WINDOW_TYPE_DESKTOP) || contains(types, m_ewmh._NET_WM_WINDOW_TYPE_DOCK))
        return std::unexpected(PlatformError::noFocusedWindow);
    if (isOwnWindow(pid.get(), machine.get()))
        return std::unexpected(PlatformError::noFocusedWindow);

    const auto states = propertyValues(state.get(), XCB_ATOM_ATOM);
    const bool maximized =
        contains(states, m_ewmh._NET_WM_STATE_MAXIMIZED_VERT) || contains(states, m_ewmh._NET_WM_STATE_MAXIMIZED_HORZ);
    const bool fullScreen = contains(states, m_ewmh._NET_WM_STATE_FULLSCREEN);
    return std::make_unique<X11Window>(*this, requests.window, *geometry, maximized, fullScreen);
}

// Our own windows (the Settings window, say) are never the target: acting on
// them from our own menu would resize the window the user is working in.
bool X11WindowSystem::isOwnWindow(const xcb_get_property_reply_t* pid, const xcb_get_property_reply_t* machine) const
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

WindowSystem::Screens X11WindowSystem::screens()
{
    if (!connected())
        return {};
    std::optional<ScreenRequests> requests = std::exchange(m_pendingScreens, std::nullopt);
    if (!requests) {
        begin();
        requests = requestScreens();
    }
    return readScreens(*requests);
}

X11WindowSystem::ScreenRequests X11WindowSystem::requestScreens()
{
    xcb_connection_t* c = connection();
    ScreenRequests requests{xcb_ewmh_get_current_desktop(&m_ewmh, m_screenNumber),
                            xcb_ewmh_get_workarea(&m_ewmh, m_screenNumber), std::nullopt};
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (randr && randr->present)
        requests.monitors = xcb_randr_get_monitors(c, root(), 1);
    return requests;
}

WindowSystem::Screens X11WindowSystem::readScreens(const ScreenRequests& requests)
{
    const xcb_screen_t* screen = m_ewmh.screens[m_screenNumber];
    const auto desktopReply = await<xcb_get_property_reply_t>(requests.desktop.sequence);
    const auto workareaReply = await<xcb_get_property_reply_t>(requests.workarea.sequence);
    XcbReply<xcb_randr_get_monitors_reply_t> monitors;
    if (requests.monitors)
        monitors = await<xcb_randr_get_monitors_reply_t>(requests.monitors->sequence);

    // The whole root window unless RandR names monitors; the primary one is
    // the main screen, else the one holding the origin, as desktops treat it.
    Screens result;
    std::optional<size_t> atOrigin;
    if (monitors) {
        for (auto it = xcb_randr_get_monitors_monitors_iterator(monitors.get()); it.rem; xcb_randr_monitor_info_next(&it)) {
            const QRect rect(it.data->x, it.data->y, it.data->width, it.data->height);
            if (rect.isEmpty())
                continue;
            if (it.data->primary && !result.main)
                result.main = result.all.size();
            if (rect.contains(0, 0) && !atOrigin)
                atOrigin = result.all.size();
            result.all.push_back({rect, rect});
        }
    }
    if (result.all.empty())
        result.all.push_back({QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels),
                              QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels)});
    if (!result.main)
        result.main = atOrigin.value_or(0);

    // _NET_WORKAREA holds one rectangle per desktop, for all monitors
    // together; panels and docks are outside it. Some window managers write
    // it only while something reserves space, so a missing one means whole
    // monitors are usable.
    const auto desktop = propertyValues(desktopReply.get(), XCB_ATOM_CARDINAL);
    const auto workarea = propertyValues(workareaReply.get(), XCB_ATOM_CARDINAL);
    const size_t index = desktop.empty() ? 0 : desktop[0];
    if (index < workarea.size() / 4) {
        const auto* area = &workarea[index * 4];
        const QRect usable = clampedRect(area[0], area[1], area[2], area[3]);
        for (Screen& s : result.all) {
            const QRect part = s.frame.toRect().intersected(usable);
            if (!part.isEmpty())
                s.workArea = part;
        }
    }
    return result;
}
