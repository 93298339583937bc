#pragma once

#include "model/WindowPreset.h"
#include "stores/DefaultsDatabase.h"
#include "stores/PresetError.h"
#include "stores/SettingsKeys.h"

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

    // Every preset: the built-in ones first, then custom ones in the order added.
    const QList<WindowPreset>& presets() const { return m_presets; }
    // Every preset in display order: a stable sort by sortOrder, so that equal
    // orders keep the order of presets().
    QList<WindowPreset> presetsInDisplayOrder() const;
    // The visible presets in display order, as the menu lists them.
    QList<WindowPreset> visiblePresets() const;

    // The inclusive range of a new preset's width and height.
    static constexpr qint64 minimumDimension = 100;
    static constexpr qint64 maximumDimension = 10000;
    static constexpr bool isValidDimension(qint64 value)
    {
        return value >= minimumDimension && value <= maximumDimension;
    }

    // Whether a typed name names the stored one: white space around the typed
    // name, letter case and Unicode composition do not count; the stored name
    // is taken as stored. The rule that keeps new names unique.
    static bool isSameName(const QString& storedName, const QString& typedName);
    // The first preset in display order that the typed name names, as the menu
    // would offer it; stored presets are loaded unchecked, so there may be more.
    std::optional<WindowPreset> presetNamed(const QString& typedName) const;

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
    // The display order: a stable sort by sortOrder.
    static QList<WindowPreset> inDisplayOrder(QList<WindowPreset> presets);
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
