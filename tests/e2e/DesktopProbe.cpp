#include "e2e/DesktopProbe.h"

#include <QTest>

#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, Free>;

int environmentNumber(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

} // namespace

DesktopProbe::DesktopProbe()
{
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection))
        return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    m_root = it.data->root;
}

DesktopProbe::~DesktopProbe()
{
    closeClients();
    xcb_disconnect(m_connection);
}

bool DesktopProbe::isConnected() const
{
    return m_connection && !xcb_connection_has_error(m_connection) && m_root != XCB_WINDOW_NONE;
}

xcb_atom_t DesktopProbe::atom(const char* name) const
{
    const auto cookie = xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

QSize DesktopProbe::screenSize()
{
    const QStringList parts = qEnvironmentVariable("VENTREL_E2E_SCREEN", QStringLiteral("1366x768")).split(u'x');
    return parts.size() == 2 ? QSize(parts[0].toInt(), parts[1].toInt()) : QSize();
}

int DesktopProbe::panelHeight()
{
    return environmentNumber("VENTREL_E2E_PANEL_HEIGHT", 0);
}

bool DesktopProbe::panelOnTop()
{
    return qEnvironmentVariable("VENTREL_E2E_PANEL_EDGE") == QLatin1String("top");
}

bool DesktopProbe::hasWindowManager()
{
    return environmentNumber("VENTREL_E2E_WM", 1) != 0;
}

QRect DesktopProbe::expectedWorkArea()
{
    const QSize screen = screenSize();
    return {0, panelOnTop() ? panelHeight() : 0, screen.width(), screen.height() - panelHeight()};
}

std::vector<uint32_t> DesktopProbe::cardinals(xcb_window_t window, const char* property) const
{
    const auto cookie = xcb_get_property(m_connection, 0, window, atom(property), XCB_ATOM_CARDINAL, 0, 1024);
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, nullptr));
    if (!reply || reply->format != 32)
        return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

std::vector<xcb_atom_t> DesktopProbe::atoms(xcb_window_t window, const char* property) const
{
    const auto cookie = xcb_get_property(m_connection, 0, window, atom(property), XCB_ATOM_ATOM, 0, 1024);
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, nullptr));
    if (!reply || reply->format != 32)
        return {};
    const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

xcb_window_t DesktopProbe::activeWindow() const
{
    const auto cookie = xcb_get_property(m_connection, 0, m_root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1);
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return XCB_WINDOW_NONE;
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

QString DesktopProbe::title(xcb_window_t window) const
{
    const auto cookie = xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, nullptr));
    if (!reply || reply->format != 8)
        return {};
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply.get())),
                             xcb_get_property_value_length(reply.get()));
}

std::optional<QRect> DesktopProbe::frame(xcb_window_t window) const
{
    const auto geometryCookie = xcb_get_geometry(m_connection, window);
    const auto placeCookie = xcb_translate_coordinates(m_connection, window, m_root, 0, 0);
    const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(m_connection, geometryCookie, nullptr));
    const Reply<xcb_translate_coordinates_reply_t> place(
        xcb_translate_coordinates_reply(m_connection, placeCookie, nullptr));
    if (!geometry || !place)
        return std::nullopt;
    std::vector<uint32_t> extents = cardinals(window, "_NET_FRAME_EXTENTS");
    extents.resize(4, 0); // left, right, top, bottom
    const int left = int(extents[0]), right = int(extents[1]), top = int(extents[2]), bottom = int(extents[3]);
    return QRect(place->dst_x - left, place->dst_y - top, geometry->width + left + right,
                 geometry->height + top + bottom);
}

bool DesktopProbe::isMaximized(xcb_window_t window) const
{
    const std::vector<xcb_atom_t> state = atoms(window, "_NET_WM_STATE");
    const auto has = [&](const char* name) { return std::ranges::find(state, atom(name)) != state.end(); };
    return has("_NET_WM_STATE_MAXIMIZED_VERT") && has("_NET_WM_STATE_MAXIMIZED_HORZ");
}

bool DesktopProbe::waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

QRect DesktopProbe::settledFrame(xcb_window_t window, const QRect& expected) const
{
    // The window manager acts after ventrel has exited; give it time, but a
    // frame that stays put for half a second is where it will stay.
    std::optional<QRect> last = frame(window);
    auto stableSince = std::chrono::steady_clock::now();
    waitFor([&] {
        const std::optional<QRect> now = frame(window);
        if (now != last) {
            last = now;
            stableSince = std::chrono::steady_clock::now();
        }
        return now == expected || std::chrono::steady_clock::now() - stableSince > std::chrono::milliseconds(500);
    });
    return last.value_or(QRect());
}

xcb_window_t DesktopProbe::startClient(const QString& geometry, const QString& title)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(QStringLiteral("xmessage"));
    process->setArguments({QStringLiteral("-geometry"), geometry, QStringLiteral("-title"), title, title});
    process->start();
    if (!process->waitForStarted())
        return XCB_WINDOW_NONE;
    m_clients.push_back(std::move(process));
    xcb_window_t found = XCB_WINDOW_NONE;
    waitFor([&] {
        if (!hasWindowManager()) {
            const Reply<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
            const xcb_window_t* children = tree ? xcb_query_tree_children(tree.get()) : nullptr;
            for (int i = 0; tree && i < xcb_query_tree_children_length(tree.get()); ++i) {
                if (this->title(children[i]) == title)
                    found = children[i];
            }
            return found != XCB_WINDOW_NONE;
        }
        const xcb_window_t active = activeWindow();
        if (active != XCB_WINDOW_NONE && this->title(active) == title)
            found = active;
        return found != XCB_WINDOW_NONE;
    });
    if (found == XCB_WINDOW_NONE)
        return found;
    m_clientWindows.push_back(found);
    // openbox may activate the window a moment before it puts the frame where
    // the geometry asks; tests read the frame from here on.
    const QStringList place = geometry.section(u'+', 1).split(u'+');
    if (hasWindowManager() && place.size() == 2) {
        const QPoint topLeft(place[0].toInt(), place[1].toInt());
        waitFor([&] { return frame(found).value_or(QRect()).topLeft() == topLeft; });
    }
    return found;
}

void DesktopProbe::closeClients()
{
    for (const auto& process : m_clients) {
        process->kill();
        process->waitForFinished();
    }
    m_clients.clear();
    if (isConnected())
        waitFor([&] { return std::ranges::none_of(m_clientWindows, [&](xcb_window_t w) { return frame(w).has_value(); }); });
    m_clientWindows.clear();
}

void DesktopProbe::setActiveWindow(xcb_window_t window)
{
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1,
                        &window);
    const Reply<xcb_get_input_focus_reply_t> sync(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

bool DesktopProbe::maximize(xcb_window_t window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("_NET_WM_STATE");
    message.data.data32[0] = 1; // add
    message.data.data32[1] = atom("_NET_WM_STATE_MAXIMIZED_VERT");
    message.data.data32[2] = atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    message.data.data32[3] = 2;
    // A window that has only just been mapped may still be settling in, and
    // the request is harmless to repeat: ask again now and then.
    for (int attempt = 0; attempt < 5; ++attempt) {
        xcb_send_event(m_connection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(m_connection);
        if (waitFor([&] { return isMaximized(window) && frame(window) == expectedWorkArea(); },
                    std::chrono::seconds(1)))
            return true;
    }
    return false;
}
