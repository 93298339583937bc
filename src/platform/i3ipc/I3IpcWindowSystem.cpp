#include "platform/i3ipc/I3IpcWindowSystem.h"

#include "platform/i3ipc/I3IpcTree.h"
#include "platform/i3ipc/I3IpcWindow.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>

namespace {

using Message = I3IpcClient::Message;

bool isFullScreen(const QJsonObject& node)
{
    const QString type = node.value(QLatin1String("type")).toString();
    return (type == QLatin1String("con") || type == QLatin1String("floating_con"))
        && node.value(QLatin1String("fullscreen_mode")).toInt() != 0;
}

bool allSucceeded(const QJsonDocument& reply)
{
    const QJsonArray results = reply.array();
    for (const QJsonValue& result : results) {
        if (!result.toObject().value(QLatin1String("success")).toBool())
            return false;
    }
    return !results.isEmpty();
}

} // namespace

I3IpcWindowSystem::I3IpcWindowSystem(std::unique_ptr<I3IpcClient> client)
    : m_client(std::move(client))
{
}

std::unique_ptr<I3IpcClient> I3IpcWindowSystem::connectClient(const QString& socketPath)
{
    if (socketPath.isEmpty())
        return nullptr;
    auto client = std::make_unique<I3IpcClient>();
    if (!client->open(socketPath, QDeadlineTimer(requestTimeout)))
        return nullptr;
    return client;
}

bool I3IpcWindowSystem::isProcessTrusted(bool)
{
    return true;
}

std::expected<std::unique_ptr<Window>, PlatformError> I3IpcWindowSystem::focusedWindow()
{
    auto tree = m_client->request(Message::getTree, {}, QDeadlineTimer(requestTimeout));
    if (!tree)
        return std::unexpected(tree.error());
    if (!tree->isObject())
        return std::unexpected(PlatformError::unreachable);
    const QList<QJsonObject> path = I3IpcTree::focusedPath(tree->object());
    if (path.isEmpty())
        return std::unexpected(PlatformError::noFrontmostApplication);
    const QJsonObject& focused = path.last();
    const QString type = focused.value(QLatin1String("type")).toString();
    // An empty workspace has the focus: no application is in front.
    if (type != QLatin1String("con") && type != QLatin1String("floating_con"))
        return std::unexpected(PlatformError::noFrontmostApplication);
    // A split container holding several windows, a bar, or one of ours.
    if (!isWindow(focused) || isOwnWindow(focused))
        return std::unexpected(PlatformError::noFocusedWindow);
    if (std::any_of(path.begin(), path.end(), isFullScreen))
        return std::unexpected(PlatformError::refused);
    const auto id = I3IpcTree::id(focused.value(QLatin1String("id")));
    const auto frame = outerFrame(focused);
    if (!id || !frame)
        return std::unexpected(PlatformError::unreachable);
    return std::make_unique<I3IpcWindow>(*this, focused, *id, QRectF(*frame));
}

WindowSystem::Screens I3IpcWindowSystem::screens()
{
    const QDeadlineTimer deadline(requestTimeout);
    const auto outputs = m_client->request(Message::getOutputs, {}, deadline);
    const auto workspaces = outputs ? m_client->request(Message::getWorkspaces, {}, deadline) : outputs;
    if (!outputs || !workspaces)
        return {};
    return I3IpcTree::screens(outputs->array(), workspaces->array());
}

std::expected<QRectF, PlatformError> I3IpcWindowSystem::place(const I3IpcWindow& window, const QRectF& frame)
{
    const double limit = I3IpcTree::coordinateLimit;
    const bool usable = std::isfinite(frame.x()) && std::isfinite(frame.y()) && std::isfinite(frame.width())
        && std::isfinite(frame.height()) && std::abs(frame.x()) <= limit && std::abs(frame.y()) <= limit
        && frame.width() <= limit && frame.height() <= limit;
    const QRect target = usable ? pixelFrame(frame) : QRect();
    if (target.width() < 1 || target.height() < 1)
        return std::unexpected(PlatformError::invalidValue);

    const QDeadlineTimer deadline(requestTimeout);
    // A tiled window is floated first: someone who asks for a size wants
    // that size, not the share of the layout the tiling would give it.
    const QByteArray command = placeCommand(window, target).toUtf8();
    std::expected<QRect, PlatformError> settled;
    std::optional<QRect> previous;
    for (int attempt = 0; attempt < maxPlaceAttempts; ++attempt) {
        const auto reply = m_client->request(Message::runCommand, command, deadline);
        if (!reply)
            return std::unexpected(reply.error());
        // Both apply the command before they answer it, and the tree then
        // holds the frame meant for the window: i3 keeps an X client's size
        // hints itself, and sway sizes a client's frame however the client
        // draws inside it.
        const auto container = findContainer(window.id(), deadline);
        if (!container)
            return std::unexpected(container.error());
        if (!allSucceeded(*reply))
            return std::unexpected(PlatformError::refused);
        const auto answered = outerFrame(*container);
        if (!answered)
            return std::unexpected(PlatformError::unreachable);
        settled = settledFrame(*container, deadline);
        // sway can still take back the size it answered with, for one a
        // client commits late for an earlier change (several, when the
        // layout changed often just before); the same command then gets it
        // through. The same result twice is the window's own doing.
        if (!settled || *settled == *answered || *settled == previous || deadline.hasExpired())
            break;
        previous = *settled;
    }
    if (!settled)
        return std::unexpected(settled.error());
    return QRectF(*settled);
}

std::expected<QRect, PlatformError> I3IpcWindowSystem::settledFrame(const QJsonObject& container, QDeadlineTimer)
{
    if (const auto frame = outerFrame(container))
        return *frame;
    return std::unexpected(PlatformError::unreachable);
}

std::expected<QJsonObject, PlatformError> I3IpcWindowSystem::findContainer(qint64 id, QDeadlineTimer deadline)
{
    const auto tree = m_client->request(Message::getTree, {}, deadline);
    if (!tree)
        return std::unexpected(tree.error());
    auto node = I3IpcTree::find(tree->object(), id);
    if (!node)
        return std::unexpected(PlatformError::windowGone);
    return std::move(*node);
}
