#include "platform/sway/SwayWindowSystem.h"

#include "platform/i3ipc/I3IpcTree.h"
#include "platform/i3ipc/I3IpcWindow.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <limits>

namespace {

// How often sway's tree is read again while the X server has no news (a
// late commit changes the tree without moving the X window).
constexpr qint64 recheckMs = 10;
// How long sway 1.7 waits for a client to take a change before it sends the
// next one anyway (its txn_timeout_ms), and a little more.
constexpr qint64 transactionTimeoutMs = 250;

// Where the client's own area is meant to be: the container's rect with the
// window's place inside it.
std::optional<QRect> contentArea(const QJsonObject& container)
{
    const auto rect = I3IpcTree::rect(container.value(QLatin1String("rect")));
    const auto window = I3IpcTree::rect(container.value(QLatin1String("window_rect")));
    if (!rect || !window)
        return std::nullopt;
    return window->translated(rect->topLeft());
}

} // namespace

std::unique_ptr<SwayWindowSystem> SwayWindowSystem::connect(const QString& socketPath)
{
    auto client = connectClient(socketPath);
    if (!client)
        return nullptr;
    return std::unique_ptr<SwayWindowSystem>(new SwayWindowSystem(std::move(client)));
}

SwayWindowSystem::~SwayWindowSystem() = default;

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

// sway 1.7 answers a command with the frame it means to send the window, and
// sends it once the client has taken the previous one. When a floating
// client commits the previous size in between, sway adopts that size in
// place of the one it answered with (handle_commit in
// sway/desktop/xwayland.c and xdg_shell.c), moves the window and leaves it
// at its old size. An X client's window shows what was really sent, so the
// tree is settled once the X server agrees with it; a Wayland client's size
// shows nowhere, so the tree is watched for as long as sway waits for a
// client before it gives up and sends the next change anyway. That watch is
// needed only when an earlier change may still be on its way: one this
// backend made a moment ago, or any made before it started (a one-off
// command cannot know); the tray app's placements of an idle window need
// no watch, and stay quick.
std::expected<QRect, PlatformError> SwayWindowSystem::settledFrame(const QJsonObject& container, QDeadlineTimer deadline)
{
    const auto id = I3IpcTree::id(container.value(QLatin1String("id")));
    const auto window = I3IpcTree::id(container.value(QLatin1String("window"))); // X clients only
    const auto answered = outerFrame(container);
    auto content = contentArea(container);
    if (!answered || !content || !id)
        return std::unexpected(PlatformError::unreachable);
    const bool hasXWindow = window && *window <= std::numeric_limits<quint32>::max();
    if (hasXWindow && !m_xwayland)
        m_xwayland = XwaylandGeometry::connect();
    const bool xClient = hasXWindow && m_xwayland;
    const QDeadlineTimer quiet(std::min(deadline.remainingTime(), transactionTimeoutMs));
    m_placed.removeIf([](const auto& placed) { return placed.value().elapsed() >= transactionTimeoutMs; });
    const bool mayOvertake = m_age.elapsed() < transactionTimeoutMs || m_placed.contains(*id);
    m_placed[*id].start();
    for (QRect frame = *answered;;) {
        if (xClient) {
            const auto area = m_xwayland->area(static_cast<quint32>(*window), deadline);
            if (!area) {
                // Gone from the X server, or a server that does not answer:
                // sway's word is all there is (a new connection next time).
                m_xwayland.reset();
                return frame;
            }
            if (*area == *content)
                return frame;
            if (deadline.hasExpired()) // sway's frame around what the client has
                return frame.adjusted(area->left() - content->left(), area->top() - content->top(),
                                      area->right() - content->right(), area->bottom() - content->bottom());
            m_xwayland->waitForChange(QDeadlineTimer(std::min(deadline.remainingTime(), recheckMs)));
        } else {
            if (frame != *answered || quiet.hasExpired() || !mayOvertake)
                return frame;
            QThread::msleep(static_cast<unsigned long>(std::min(quiet.remainingTime(), recheckMs)));
        }
        const auto now = findContainer(*id, deadline);
        if (!now)
            return std::unexpected(now.error());
        const auto outer = outerFrame(*now);
        content = contentArea(*now);
        if (!outer || !content)
            return std::unexpected(PlatformError::unreachable);
        frame = *outer;
    }
}
