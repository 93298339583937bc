#pragma once

#include "window/WindowSystem.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QRect>

#include <optional>

// Reading the JSON that i3 and sway send, refusing what no real desktop
// sends before any arithmetic is done with it.
class I3IpcTree {
public:
    // Beyond any real desktop, and far from int overflow when added up.
    static constexpr int coordinateLimit = 1 << 20;

    static std::optional<int> integer(const QJsonValue& value, qint64 lowest, qint64 highest);
    // A node's id: i3 uses pointers, so up to 2^53 (what a JSON number keeps).
    static std::optional<qint64> id(const QJsonValue& value);
    static std::optional<QRect> rect(const QJsonValue& value);

    // The nodes from the root down to the focused one (root first); empty
    // when nothing has focus.
    static QList<QJsonObject> focusedPath(const QJsonObject& root);
    // The node with this id, when it is still in the tree.
    static std::optional<QJsonObject> find(const QJsonObject& root, qint64 id);

    // Each active output, its work area the rect of the workspace it shows;
    // the main one is the output of the focused workspace.
    static WindowSystem::Screens screens(const QJsonArray& outputs, const QJsonArray& workspaces);
};
