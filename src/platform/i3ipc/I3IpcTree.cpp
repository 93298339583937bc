#include "platform/i3ipc/I3IpcTree.h"

#include <cmath>

namespace {

// QJsonDocument already stops at a nesting depth of 1024; a tree of windows
// is a few levels deep.
constexpr int maxDepth = 64;

QJsonArray children(const QJsonObject& node)
{
    QJsonArray all = node.value(QLatin1String("nodes")).toArray();
    for (const QJsonValue& floating : node.value(QLatin1String("floating_nodes")).toArray())
        all.append(floating);
    return all;
}

bool findFocused(const QJsonObject& node, int depth, QList<QJsonObject>& path)
{
    if (depth > maxDepth)
        return false;
    path.append(node);
    if (node.value(QLatin1String("focused")).toBool())
        return true;
    for (const QJsonValue& child : children(node)) {
        if (child.isObject() && findFocused(child.toObject(), depth + 1, path))
            return true;
    }
    path.removeLast();
    return false;
}

std::optional<QJsonObject> findId(const QJsonObject& node, qint64 wanted, int depth)
{
    if (depth > maxDepth)
        return std::nullopt;
    if (I3IpcTree::id(node.value(QLatin1String("id"))) == wanted)
        return node;
    for (const QJsonValue& child : children(node)) {
        if (auto found = findId(child.toObject(), wanted, depth + 1))
            return found;
    }
    return std::nullopt;
}

} // namespace

std::optional<int> I3IpcTree::integer(const QJsonValue& value, qint64 lowest, qint64 highest)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number != std::floor(number) || number < static_cast<double>(lowest)
        || number > static_cast<double>(highest))
        return std::nullopt;
    return static_cast<int>(number);
}

std::optional<qint64> I3IpcTree::id(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    constexpr double largest = 9007199254740992.0; // 2^53
    if (!std::isfinite(number) || number != std::floor(number) || number < 1 || number > largest)
        return std::nullopt;
    return static_cast<qint64>(number);
}

std::optional<QRect> I3IpcTree::rect(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const auto x = integer(object.value(QLatin1String("x")), -coordinateLimit, coordinateLimit);
    const auto y = integer(object.value(QLatin1String("y")), -coordinateLimit, coordinateLimit);
    const auto width = integer(object.value(QLatin1String("width")), 0, coordinateLimit);
    const auto height = integer(object.value(QLatin1String("height")), 0, coordinateLimit);
    if (!x || !y || !width || !height)
        return std::nullopt;
    return QRect(*x, *y, *width, *height);
}

QList<QJsonObject> I3IpcTree::focusedPath(const QJsonObject& root)
{
    QList<QJsonObject> path;
    findFocused(root, 0, path);
    return path;
}

std::optional<QJsonObject> I3IpcTree::find(const QJsonObject& root, qint64 id)
{
    return findId(root, id, 0);
}

WindowSystem::Screens I3IpcTree::screens(const QJsonArray& outputs, const QJsonArray& workspaces)
{
    WindowSystem::Screens screens;
    for (const QJsonValue& value : outputs) {
        const QJsonObject output = value.toObject();
        const auto frame = rect(output.value(QLatin1String("rect")));
        if (!output.value(QLatin1String("active")).toBool() || !frame || frame->isEmpty())
            continue;
        const QString name = output.value(QLatin1String("name")).toString();
        WindowSystem::Screen screen{QRectF(*frame), QRectF(*frame)};
        for (const QJsonValue& workspaceValue : workspaces) {
            const QJsonObject workspace = workspaceValue.toObject();
            if (workspace.value(QLatin1String("output")).toString() != name
                || !workspace.value(QLatin1String("visible")).toBool())
                continue;
            // A work area outside its own output is not one.
            if (const auto area = rect(workspace.value(QLatin1String("rect"))); area && frame->contains(*area))
                screen.workArea = QRectF(*area);
            if (workspace.value(QLatin1String("focused")).toBool())
                screens.main = screens.all.size();
        }
        screens.all.push_back(screen);
    }
    return screens;
}
