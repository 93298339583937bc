#include "stores/ShortcutManager.h"

#include "model/SnapPosition.h"
#include "model/WindowPreset.h"
#include "stores/BindingLines.h"
#include "stores/PresetManager.h"
#include "stores/SettingsKeys.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtDebug>

ShortcutManager& ShortcutManager::shared()
{
    // Never destroyed, like the preset store it follows.
    static ShortcutManager* const instance = new ShortcutManager(DefaultsDatabase::standard(), PresetManager::shared());
    return *instance;
}

ShortcutManager::ShortcutManager(std::shared_ptr<DefaultsDatabase> userDefaults, PresetManager& presets,
                                 QObject* parent)
    : QObject(parent), m_userDefaults(std::move(userDefaults)), m_presets(presets)
{
    load();
    // The preset store notifies once more after each save, when the deleted
    // preset is gone from its list.
    connect(&m_presets, &PresetManager::objectWillChange, this, &ShortcutManager::dropDeletedPresets);
}

QString ShortcutManager::presetId(const QUuid& id)
{
    return WindowPreset::uuidString(id);
}

bool ShortcutManager::isKnownId(const QString& id) const
{
    if (SnapPosition::fromRawValue(id))
        return true;
    const std::optional<QUuid> uuid = WindowPreset::parseUuid(id);
    if (!uuid || presetId(*uuid) != id)
        return false;
    return std::ranges::any_of(m_presets.presets(), [&](const WindowPreset& p) { return p.id == *uuid; });
}

QString ShortcutManager::displayName(const QString& id) const
{
    if (const std::optional<SnapPosition> position = SnapPosition::fromRawValue(id))
        return position->displayName();
    if (const std::optional<QUuid> uuid = WindowPreset::parseUuid(id)) {
        for (const WindowPreset& p : m_presets.presets()) {
            if (p.id == *uuid)
                return p.name;
        }
    }
    return {};
}

std::expected<void, QString> ShortcutManager::setShortcut(const QString& id, const QKeySequence& keys)
{
    if (!isKnownId(id))
        return {};
    const QKeySequence single = keys.isEmpty() ? QKeySequence() : QKeySequence(keys[0]);
    if (!single.isEmpty()) {
        for (auto it = m_shortcuts.cbegin(); it != m_shortcuts.cend(); ++it) {
            if (it.key() != id && it.value() == single)
                return std::unexpected(it.key());
        }
    }
    if (m_shortcuts.value(id) == single)
        return {};
    emit objectWillChange();
    if (single.isEmpty())
        m_shortcuts.remove(id);
    else
        m_shortcuts.insert(id, single);
    save();
    return {};
}

void ShortcutManager::load()
{
    m_shortcuts.clear();
    m_unreadable.reset();
    const std::optional<QByteArray> stored = m_userDefaults->data(SettingsKeys::shortcuts);
    if (!stored)
        return;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(*stored, &error);
    bool intact = error.error == QJsonParseError::NoError && document.isObject();
    const QJsonObject object = document.object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const QKeySequence keys = QKeySequence::fromString(it.value().toString(), QKeySequence::PortableText);
        // fromString turns words it does not know into Key_unknown rather than failing.
        const bool readable = it.value().isString() && keys.count() == 1 && keys[0].key() != Qt::Key_unknown;
        const bool duplicate = readable && std::ranges::find(std::as_const(m_shortcuts), keys) != m_shortcuts.cend();
        if (!readable || duplicate || !isKnownId(it.key())) {
            intact = false;
            continue;
        }
        m_shortcuts.insert(it.key(), keys);
    }
    if (!intact && !stored->isEmpty())
        m_unreadable = *stored;
}

void ShortcutManager::save()
{
    // What could not be used is copied out once, before it is overwritten.
    if (m_unreadable) {
        const std::expected<QString, QString> copy = m_userDefaults->keepCopy(SettingsKeys::shortcuts, *m_unreadable);
        if (copy)
            qWarning().noquote() << QStringLiteral("Ventrel: some saved shortcuts could not be used; the stored value "
                                                   "was copied to %1.").arg(*copy);
        else
            qWarning().noquote() << QStringLiteral("Ventrel: some saved shortcuts could not be used, and no copy of "
                                                   "them could be kept (%1); they are replaced.").arg(copy.error());
        m_unreadable.reset();
    }
    QJsonObject object;
    for (auto it = m_shortcuts.cbegin(); it != m_shortcuts.cend(); ++it)
        object.insert(it.key(), it.value().toString(QKeySequence::PortableText));
    m_userDefaults->setData(SettingsKeys::shortcuts, QJsonDocument(object).toJson(QJsonDocument::Compact));
    emit objectWillChange();
}

void ShortcutManager::dropDeletedPresets()
{
    QStringList gone;
    for (auto it = m_shortcuts.cbegin(); it != m_shortcuts.cend(); ++it) {
        if (!isKnownId(it.key()))
            gone.append(it.key());
    }
    if (gone.isEmpty())
        return;
    emit objectWillChange();
    for (const QString& id : std::as_const(gone))
        m_shortcuts.remove(id);
    save();
}

void ShortcutManager::resetToDefaults()
{
    emit objectWillChange();
    m_userDefaults->remove(SettingsKeys::shortcuts);
    load();
    emit objectWillChange();
}

void ShortcutManager::setSystem(GlobalShortcuts* system)
{
    if (m_system)
        disconnect(m_system, nullptr, this, nullptr);
    m_system = system;
    if (system)
        connect(system, &GlobalShortcuts::statusChanged, this, &ShortcutManager::statusChanged);
}

std::optional<GlobalShortcuts::Status> ShortcutManager::status(const QString& id) const
{
    if (!m_system)
        return std::nullopt;
    return m_system->status(id);
}

void ShortcutManager::setRecording(bool recording)
{
    if (m_recording == recording)
        return;
    m_recording = recording;
    emit recordingChanged(recording);
}

QStringList ShortcutManager::bindingLines() const
{
    if (bindingDialect().isEmpty())
        return {};
    return BindingLines::lines(m_userDefaults->data(SettingsKeys::shortcuts).value_or(QByteArray()), m_presets,
                               QCoreApplication::applicationFilePath());
}
