#include "platform/sway/SwayWindowSystem.h"

#include "platform/i3ipc/I3IpcTree.h"
#include "platform/i3ipc/I3IpcWindow.h"

#include <QCoreApplication>

std::unique_ptr<SwayWindowSystem> SwayWindowSystem::connect(const QString& socketPath)
{
    auto client = connectClient(socketPath);
    if (!client)
        return nullptr;
    return std::unique_ptr<SwayWindowSystem>(new SwayWindowSystem(std::move(client)));
}

QString SwayWindowSystem::name() const
{
    return QStringLiteral("sway");
}

bool SwayWindowSystem::isWindow(const QJsonObject& node) const
{
    // Only views (xdg_shell, xwayland) carry a shell.
    return !node.value(QLatin1String("shell")).toString().isEmpty();
}

std::optional<QRect> SwayWindowSystem::outerFrame(const QJsonObject& container) const
{
    const auto rect = I3IpcTree::rect(container.value(QLatin1String("rect")));
    const auto title = I3IpcTree::rect(container.value(QLatin1String("deco_rect")));
    if (!rect || !title)
        return std::nullopt;
    return rect->adjusted(0, -title->height(), 0, 0);
}

QString SwayWindowSystem::placeCommand(const I3IpcWindow& window, const QRect& frame) const
{
    // Resized before it is moved: sway grows a floating window about its centre.
    return QStringLiteral("[con_id=%1] floating enable, resize set width %2 px height %3 px, "
                          "move absolute position %4 px %5 px")
        .arg(window.id())
        .arg(frame.width())
        .arg(frame.height())
        .arg(frame.x())
        .arg(frame.y());
}

bool SwayWindowSystem::isOwnWindow(const QJsonObject& container) const
{
    return I3IpcTree::id(container.value(QLatin1String("pid"))) == QCoreApplication::applicationPid();
}
