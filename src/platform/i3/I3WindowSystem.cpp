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
std::optional<qint64> processOf(quint32 window)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    std::optional<qint64> pid;
    if (!xcb_connection_has_error(connection)) {
        constexpr char name[] = "_NET_WM_PID";
        const auto atomCookie = xcb_intern_atom(connection, 1, std::strlen(name), name);
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(connection, atomCookie, nullptr);
        if (atom && atom->atom != XCB_ATOM_NONE) {
            const auto cookie = xcb_get_property(connection, 0, window, atom->atom, XCB_ATOM_CARDINAL, 0, 1);
            xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
            if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4)
                pid = *static_cast<const quint32*>(xcb_get_property_value(reply));
            std::free(reply);
        }
        std::free(atom);
    }
    xcb_disconnect(connection);
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
    return window && processOf(static_cast<quint32>(*window)) == QCoreApplication::applicationPid();
}
