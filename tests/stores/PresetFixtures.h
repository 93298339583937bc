#pragma once

#include "model/WindowPreset.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// Stored values for preset store tests, written the way the store writes them.
namespace PresetFixtures {

inline QUuid builtinId(int index)
{
    return WindowPreset::defaultPresets().at(index).id;
}

inline WindowPreset custom(const QString& name, qint64 sortOrder, bool isVisible = true)
{
    return WindowPreset{QUuid::createUuid(), name, 640, 480, false, 700000000.5, isVisible, sortOrder};
}

inline QByteArray customPresetsValue(const QList<WindowPreset>& presets)
{
    QJsonArray array;
    for (const WindowPreset& p : presets)
        array.append(p.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

struct Setting {
    QString id;
    bool isVisible;
    qint64 sortOrder;
};

inline QByteArray presetSettingsValue(const QList<Setting>& settings)
{
    QJsonArray flat;
    for (const Setting& s : settings) {
        flat.append(s.id);
        flat.append(QJsonObject{{"isVisible", s.isVisible}, {"sortOrder", s.sortOrder}});
    }
    return QJsonDocument(flat).toJson(QJsonDocument::Compact);
}

inline QJsonArray parsedArray(const std::optional<QByteArray>& bytes)
{
    return bytes ? QJsonDocument::fromJson(*bytes).array() : QJsonArray();
}

} // namespace PresetFixtures
