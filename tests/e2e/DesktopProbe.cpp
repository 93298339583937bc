#include "e2e/DesktopProbe.h"

#include <QTest>

#include <chrono>
#include <cstdlib>
#include <cstring>

template <class T>
using Reply = std::unique_ptr<T, decltype([](void* p) { std::free(p); })>;

// with-desktop.sh's Xvfb has one screen.
DesktopProbe::DesktopProbe() : m_connection(xcb_connect(nullptr, nullptr))
{
    if (!xcb_connection_has_error(m_connection))
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

DesktopProbe::~DesktopProbe()
{
    closeClients();
    xcb_disconnect(m_connection);
}

xcb_atom_t DesktopProbe::atom(const char* name) const
{
    const auto cookie = xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

void DesktopProbe::sync() const
{
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

bool DesktopProbe::hasWindowManager()
{
    return qEnvironmentVariable("VENTREL_E2E_WM", QStringLiteral("1")) != QLatin1String("0");
}

QRect DesktopProbe::expectedWorkArea()
{
    const int panel = qEnvironmentVariableIntValue("VENTREL_E2E_PANEL_HEIGHT");
    const bool onTop = qEnvironmentVariable("VENTREL_E2E_PANEL_EDGE") == QLatin1String("top");
    const QStringList screen = qEnvironmentVariable("VENTREL_E2E_SCREEN", QStringLiteral("1366x768")).split(u'x');
    return {0, onTop ? panel : 0, screen.value(0).toInt(), screen.value(1).toInt() - panel};
}

QByteArray DesktopProbe::bytes(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, int format) const
{
    const auto cookie = xcb_get_property(m_connection, 0, window, property, type, 0, 1024);
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, nullptr));
    if (!reply || reply->format != format)
        return {};
    return {static_cast<const char*>(xcb_get_property_value(reply.get())), xcb_get_property_value_length(reply.get())}; // bytes
}

std::vector<uint32_t> DesktopProbe::property(xcb_window_t window, const char* name, xcb_atom_t type) const
{
    const QByteArray b = bytes(window, atom(name), type, 32);
    return {reinterpret_cast<const uint32_t*>(b.constData()), reinterpret_cast<const uint32_t*>(b.constData()) + b.size() / 4};
}

xcb_window_t DesktopProbe::activeWindow() const
{
    const std::vector<uint32_t> active = property(m_root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
    return active.empty() ? xcb_window_t{XCB_WINDOW_NONE} : active[0];
}

std::optional<QRect> DesktopProbe::clientFrame(xcb_window_t window) const
{
    const auto geometryCookie = xcb_get_geometry(m_connection, window);
    const auto placeCookie = xcb_translate_coordinates(m_connection, window, m_root, 0, 0);
    const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(m_connection, geometryCookie, nullptr));
    const Reply<xcb_translate_coordinates_reply_t> place(
        xcb_translate_coordinates_reply(m_connection, placeCookie, nullptr));
    if (!geometry || !place)
        return std::nullopt;
    std::vector<uint32_t> e = property(window, "_NET_FRAME_EXTENTS");
    e.resize(4, 0); // left, right, top, bottom
    return QRect(place->dst_x - int(e[0]), place->dst_y - int(e[2]), geometry->width + int(e[0] + e[1]),
                 geometry->height + int(e[2] + e[3]));
}

std::optional<QRect> DesktopProbe::frame(xcb_window_t window) const
{
    const std::optional<QRect> outer = clientFrame(window);
    std::vector<uint32_t> s = property(window, "_GTK_FRAME_EXTENTS");
    s.resize(4, 0); // left, right, top, bottom
    if (!outer)
        return outer;
    return outer->adjusted(int(s[0]), int(s[2]), -int(s[1]), -int(s[3]));
}

bool DesktopProbe::isMaximized(xcb_window_t window) const
{
    const std::vector<uint32_t> state = property(window, "_NET_WM_STATE", XCB_ATOM_ATOM);
    const auto has = [&](const char* name) { return std::ranges::find(state, atom(name)) != state.end(); };
    return has("_NET_WM_STATE_MAXIMIZED_VERT") && has("_NET_WM_STATE_MAXIMIZED_HORZ");
}

QRect DesktopProbe::settledFrame(xcb_window_t window, const QRect& expected) const
{
    // The window manager acts after ventrel has exited; give it time, but a
    // frame that stays put for half a second is where it will stay.
    std::optional<QRect> last = frame(window);
    auto stableSince = std::chrono::steady_clock::now();
    std::ignore = QTest::qWaitFor([&] {
        const std::optional<QRect> now = frame(window);
        if (now != last) {
            last = now;
            stableSince = std::chrono::steady_clock::now();
        }
        return now == expected || std::chrono::steady_clock::now() - stableSince > std::chrono::milliseconds(500);
    });
    return last.value_or(QRect());
}

xcb_window_t DesktopProbe::startClient(const QString& geometry, const QString& title, Client kind)
{
    auto process = std::make_unique<QProcess>();
    const QString clients = QStringLiteral(VENTREL_E2E_CLIENTS);
    switch (kind) {
    case Client::xmessage:
        process->start(QStringLiteral("xmessage"), {QStringLiteral("-geometry"), geometry, QStringLiteral("-title"), title, title});
        break;
    case Client::gtk:
    case Client::fixedSizeGtk:
        process->start(clients + QStringLiteral("/gtk-client.py"),
                       {geometry, title, kind == Client::fixedSizeGtk ? QStringLiteral("--fixed") : QString()});
        break;
    case Client::xterm: // geometry in character cells
        process->start(QStringLiteral("xterm"), {QStringLiteral("-geometry"), geometry, QStringLiteral("-title"), title});
        break;
    }
    if (!process->waitForStarted())
        return XCB_WINDOW_NONE;
    m_clients.push_back(std::move(process));
    xcb_window_t found = XCB_WINDOW_NONE;
    std::ignore = QTest::qWaitFor([&] {
        std::vector<xcb_window_t> candidates{activeWindow()};
        if (!hasWindowManager()) {
            const Reply<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr));
            if (tree)
                candidates.assign(xcb_query_tree_children(tree.get()),
                                  xcb_query_tree_children(tree.get()) + xcb_query_tree_children_length(tree.get()));
        }
        for (const xcb_window_t w : candidates)
            found = (w != XCB_WINDOW_NONE && bytes(w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 8) == title.toUtf8()) ? w : found;
        return found != XCB_WINDOW_NONE;
    });
    if (found == XCB_WINDOW_NONE)
        return found;
    m_clientWindows.push_back(found);
    // openbox may activate the window a moment before it puts the frame in place.
    const QStringList place = geometry.section(u'+', 1).split(u'+');
    if (hasWindowManager() && place.size() == 2 && kind == Client::xmessage)
        std::ignore = QTest::qWaitFor(
            [&] { return frame(found).value_or(QRect()).topLeft() == QPoint(place[0].toInt(), place[1].toInt()); });
    // GTK windows go on settling their size and shadow after they are active.
    if (kind != Client::xmessage)
        settledFrame(found, QRect());
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
        std::ignore = QTest::qWaitFor(
            [&] { return std::ranges::none_of(m_clientWindows, [&](xcb_window_t w) { return frame(w).has_value(); }); });
    m_clientWindows.clear();
}

void DesktopProbe::setActiveWindow(xcb_window_t window)
{
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1,
                        &window);
    sync();
}

bool DesktopProbe::maximize(xcb_window_t window)
{
    // Add both maximized states, source indication 2 (a pager).
    const xcb_client_message_event_t message{
        .response_type = XCB_CLIENT_MESSAGE, .format = 32, .sequence = 0, .window = window, .type = atom("_NET_WM_STATE"),
        .data = {.data32 = {1, atom("_NET_WM_STATE_MAXIMIZED_VERT"), atom("_NET_WM_STATE_MAXIMIZED_HORZ"), 2, 0}}};
    // A window mapped a moment ago may still be settling in; asking again is harmless.
    for (int attempt = 0; attempt < 5; ++attempt) {
        xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(m_connection);
        // icewm puts a maximized window's borders outside the work area.
        if (QTest::qWaitFor([&] { return isMaximized(window) && frame(window).value_or(QRect()).contains(expectedWorkArea()); }, 1000))
            return true;
    }
    return false;
}
