#include "platform/i3/I3WindowSystem.h"

#include "platform/i3ipc/I3IpcTree.h"
#include "platform/i3ipc/I3IpcWindow.h"

#include <QCoreApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

std::optional<qint64> xWindow(const QJsonObject& node)
{
    const auto window = I3IpcTree::id(node.value(QLatin1String("window")));
    if (window && *window <= std::numeric_limits<quint32>::max())
        return window;
    return std::nullopt;
}

// The _NET_WM_PID of an X window; i3 does not report the process.
std::optional<qint64> processOf(xcb_connection_t* connection, xcb_atom_t pidAtom, quint32 window)
{
    const auto cookie = xcb_get_property(connection, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::optional<qint64> pid;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4)
        pid = *static_cast<const quint32*>(xcb_get_property_value(reply));
    std::free(reply);
    return pid;
}

} // namespace

std::unique_ptr<I3WindowSystem> I3WindowSystem::connect(const QString& socketPath)
{
    auto client = connectClient(socketPath);
    if (!client)
        return nullptr;
    return std::unique_ptr<I3WindowSystem>(new I3WindowSystem(std::move(client)));
}

QString I3WindowSystem::name() const
{
    return QStringLiteral("i3");
}

bool I3WindowSystem::isWindow(const QJsonObject& node) const
{
    return xWindow(node).has_value();
}

std::optional<QRect> I3WindowSystem::outerFrame(const QJsonObject& container) const
{
    return I3IpcTree::rect(container.value(QLatin1String("rect")));
}

QString I3WindowSystem::placeCommand(const I3IpcWindow& window, const QRect& frame) const
{
    return QStringLiteral("[id=%1] floating enable, move position %2 px %3 px, resize set %4 px %5 px")
        .arg(xWindow(window.container()).value_or(0))
        .arg(frame.x())
        .arg(frame.y())
        .arg(frame.width())
        .arg(frame.height());
}

bool I3WindowSystem::isOwnWindow(const QJsonObject& container) const
{
    // Only a process with a user interface has windows; a command-line run
    // need not ask the X server.
    const QCoreApplication* application = QCoreApplication::instance();
    if (!application || !application->inherits("QGuiApplication"))
        return false;
    const auto window = xWindow(container);
    if (!window)
        return false;
    // One connection for the app's lifetime, opened at its first action.
    if (!m_x) {
        m_x.reset(xcb_connect(nullptr, nullptr));
        constexpr char name[] = "_NET_WM_PID";
        const auto cookie = xcb_intern_atom(m_x.get(), 1, std::strlen(name), name);
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(m_x.get(), cookie, nullptr);
        m_pidAtom = atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(atom);
    }
    if (xcb_connection_has_error(m_x.get()) || m_pidAtom == XCB_ATOM_NONE) {
        m_x.reset(); // tried again at the next action
        return false;
    }
    return processOf(m_x.get(), m_pidAtom, static_cast<quint32>(*window)) == QCoreApplication::applicationPid();
}
