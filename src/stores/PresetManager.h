#pragma once

#include "model/WindowPreset.h"
#include "stores/DefaultsDatabase.h"
#include "stores/PresetError.h"

#include <QJsonArray>
#include <QList>
#include <QObject>
#include <QUuid>

#include <expected>
#include <memory>
#include <optional>

// The one store of window size presets: the five built-in presets plus the
// user's own. Built-in presets store only their visibility and order under
// "presetSettings"; custom presets are stored whole under "customPresets".
class PresetManager : public QObject {
    Q_OBJECT
public:
    // The process-wide instance over the production defaults database.
    static PresetManager& shared();

    explicit PresetManager(std::shared_ptr<DefaultsDatabase> userDefaults, QObject* parent = nullptr);

    static inline const QString customPresetsKey = QStringLiteral("customPresets");
    static inline const QString presetSettingsKey = QStringLiteral("presetSettings");

    // Every preset: the built-in ones first, then custom ones in the order added.
    const QList<WindowPreset>& presets() const { return m_presets; }
    // Visible presets in display order (stable sort by sortOrder).
    QList<WindowPreset> visiblePresets() const;

    std::expected<WindowPreset, PresetError> addPreset(const QString& name, qint64 width, qint64 height);
    std::expected<void, PresetError> deletePreset(const QUuid& id);
    void togglePresetVisibility(const QUuid& id);
    void reorderPresets(const QList<QUuid>& ids);

    void loadPresets();
    void savePresets();
    void resetToDefaults();

signals:
    // Sent before each change of presets, and once more after each save.
    void objectWillChange();

private:
    // True when nothing unreadable is stored in "customPresets", or a copy of
    // it has been kept; otherwise warns, ending with what happens to it instead.
    bool keepUnreadableCustomPresets(const QString& otherwise);

    std::shared_ptr<DefaultsDatabase> m_userDefaults;
    QList<WindowPreset> m_presets;
    // The stored "customPresets" bytes when some of them did not decode, or
    // decoded as built-in and so would not be written back, until a copy has
    // been kept.
    std::optional<QByteArray> m_unreadableCustomPresets;
    // The elements of that array which did not load as custom presets.
    QJsonArray m_unreadableElements;
};
