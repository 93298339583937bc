#include "stores/PresetManager.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QtDebug>

#include <algorithm>
#include <limits>

namespace {

const QLatin1String isVisibleKey("isVisible");
const QLatin1String sortOrderKey("sortOrder");

struct PresetSettings {
    bool isVisible = true;
    qint64 sortOrder = 0;
};

// The flat [id, settings, id, settings, ...] form of the map from built-in
// preset to its settings. Any fault rejects the whole value; a later pair for
// the same id replaces an earlier one.
std::optional<QHash<QUuid, PresetSettings>> decodePresetSettings(const QByteArray& bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    const QJsonArray array = document.array();
    if (array.size() % 2 != 0)
        return std::nullopt;
    QHash<QUuid, PresetSettings> map;
    for (qsizetype i = 0; i < array.size(); i += 2) {
        const QJsonValue key = array.at(i);
        if (!key.isString())
            return std::nullopt;
        const std::optional<QUuid> id = WindowPreset::parseUuid(key.toString());
        if (!id)
            return std::nullopt;
        const QJsonValue value = array.at(i + 1);
        if (!value.isObject())
            return std::nullopt;
        const QJsonObject object = value.toObject();
        const QJsonValue isVisible = object.value(isVisibleKey);
        const std::optional<qint64> sortOrder = WindowPreset::jsonInteger(object.value(sortOrderKey));
        if (!isVisible.isBool() || !sortOrder)
            return std::nullopt;
        map.insert(*id, PresetSettings{isVisible.toBool(), *sortOrder});
    }
    return map;
}

// Names are unique ignoring letter case and Unicode composition: "É" written
// precomposed or as "E" plus a combining accent is the same name.
QString comparableName(const QString& name)
{
    return name.toLower().normalized(QString::NormalizationForm_D);
}

} // namespace

PresetManager& PresetManager::shared()
{
    // Never destroyed: observers may still hold it while the process ends.
    static PresetManager* const instance = new PresetManager(DefaultsDatabase::standard());
    return *instance;
}

PresetManager::PresetManager(std::shared_ptr<DefaultsDatabase> userDefaults, QObject* parent)
    : QObject(parent), m_userDefaults(std::move(userDefaults))
{
    loadPresets();
}

QList<WindowPreset> PresetManager::presetsInDisplayOrder() const
{
    return inDisplayOrder(m_presets);
}

QList<WindowPreset> PresetManager::visiblePresets() const
{
    // Filtered first: the menu of a few visible presets among thousands sorts only those.
    QList<WindowPreset> visible = m_presets;
    visible.removeIf([](const WindowPreset& p) { return !p.isVisible; });
    return inDisplayOrder(std::move(visible));
}

QList<WindowPreset> PresetManager::inDisplayOrder(QList<WindowPreset> presets)
{
    std::ranges::stable_sort(presets, {}, &WindowPreset::sortOrder);
    return presets;
}

bool PresetManager::isSameName(const QString& storedName, const QString& typedName)
{
    return comparableName(storedName) == comparableName(typedName.trimmed());
}

std::optional<WindowPreset> PresetManager::presetNamed(const QString& typedName) const
{
    const QString wanted = comparableName(typedName.trimmed());
    for (const WindowPreset& p : presetsInDisplayOrder()) {
        if (comparableName(p.name) == wanted)
            return p;
    }
    return std::nullopt;
}

std::expected<WindowPreset, PresetError> PresetManager::addPreset(const QString& name, qint64 width, qint64 height)
{
    if (!isValidDimension(width) || !isValidDimension(height))
        return std::unexpected(PresetError::invalidDimensions);

    // QString::trimmed() strips exactly the Unicode space separators, tab,
    // line feed to carriage return, NEL and the line and paragraph separators.
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return std::unexpected(PresetError::nameTooShort);

    const QString wanted = comparableName(trimmed);
    for (const WindowPreset& p : std::as_const(m_presets)) {
        if (comparableName(p.name) == wanted)
            return std::unexpected(PresetError::nameAlreadyExists);
    }

    qint64 sortOrder = 0;
    if (!m_presets.isEmpty()) {
        const qint64 largest =
            std::max_element(m_presets.cbegin(), m_presets.cend(), [](const WindowPreset& a, const WindowPreset& b) {
                return a.sortOrder < b.sortOrder;
            })->sortOrder;
        // A stored order at the very top of the range must not wrap the new
        // preset round to the front; it shares the last place instead.
        sortOrder = largest == std::numeric_limits<qint64>::max() ? largest : largest + 1;
    }

    const WindowPreset preset{QUuid::createUuid(), trimmed, width, height, false, WindowPreset::now(), true, sortOrder};
    emit objectWillChange();
    m_presets.append(preset);
    savePresets();
    return preset;
}

std::expected<void, PresetError> PresetManager::deletePreset(const QUuid& id)
{
    const auto it = std::find_if(m_presets.cbegin(), m_presets.cend(), [&](const WindowPreset& p) { return p.id == id; });
    if (it == m_presets.cend())
        return {};
    if (it->isDefault)
        return std::unexpected(PresetError::cannotDeleteDefault);
    const qsizetype index = std::distance(m_presets.cbegin(), it);
    emit objectWillChange();
    m_presets.removeAt(index);
    savePresets();
    return {};
}

void PresetManager::togglePresetVisibility(const QUuid& id)
{
    for (qsizetype i = 0; i < m_presets.size(); ++i) {
        if (m_presets.at(i).id == id) {
            emit objectWillChange();
            m_presets[i].isVisible = !m_presets.at(i).isVisible;
            savePresets();
            return;
        }
    }
}

void PresetManager::reorderPresets(const QList<QUuid>& ids)
{
    // The first preset with each id; looked up once so that reordering
    // thousands of presets stays linear.
    QHash<QUuid, qsizetype> firstIndex;
    firstIndex.reserve(m_presets.size());
    for (qsizetype i = m_presets.size() - 1; i >= 0; --i)
        firstIndex.insert(m_presets.at(i).id, i);

    for (qsizetype position = 0; position < ids.size(); ++position) {
        const auto found = firstIndex.constFind(ids.at(position));
        if (found == firstIndex.cend())
            continue;
        emit objectWillChange();
        m_presets[*found].sortOrder = position;
    }
    savePresets();
}

void PresetManager::loadPresets()
{
    QList<WindowPreset> loaded = WindowPreset::defaultPresets();

    if (const std::optional<QByteArray> stored = m_userDefaults->data(SettingsKeys::presetSettings)) {
        if (const auto settings = decodePresetSettings(*stored)) {
            for (WindowPreset& p : loaded) {
                const auto found = settings->constFind(p.id);
                if (found != settings->cend()) {
                    p.isVisible = found->isVisible;
                    p.sortOrder = found->sortOrder;
                }
            }
        }
    }

    // Element by element: one damaged preset must not cost the others. What
    // does not decode is remembered so that a copy is kept before the value is
    // next overwritten.
    m_unreadableCustomPresets.reset();
    m_unreadableElements = {};
    if (const std::optional<QByteArray> stored = m_userDefaults->data(SettingsKeys::customPresets)) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(*stored, &error);
        bool intact = error.error == QJsonParseError::NoError && document.isArray();
        if (intact) {
            const QJsonArray array = document.array();
            for (const QJsonValue& element : array) {
                const auto preset = WindowPreset::fromJson(element);
                if (preset)
                    loaded.append(*preset);
                // Loaded as stored, but a save writes only presets that are
                // not built-in, so this one would vanish from the file.
                if (!preset || preset->isDefault) {
                    intact = false;
                    m_unreadableElements.append(element);
                }
            }
        }
        if (!intact && !stored->isEmpty())
            m_unreadableCustomPresets = *stored;
    }

    emit objectWillChange();
    m_presets = std::move(loaded);
}

bool PresetManager::keepUnreadableCustomPresets(const QString& otherwise)
{
    if (!m_unreadableCustomPresets)
        return true;
    const std::expected<QString, QString> copy = m_userDefaults->keepCopy(SettingsKeys::customPresets, *m_unreadableCustomPresets);
    if (!copy) {
        qWarning().noquote() << QStringLiteral("Ventrel: some saved custom presets could not be read, and no copy of "
                                               "them could be kept (%1); %2")
                                    .arg(copy.error(), otherwise);
        return false;
    }
    qWarning().noquote() << QStringLiteral("Ventrel: some saved custom presets could not be read; the stored value "
                                           "was copied to %1.")
                                .arg(*copy);
    m_unreadableCustomPresets.reset();
    m_unreadableElements = {};
    return true;
}

void PresetManager::savePresets()
{
    QList<std::pair<QString, QByteArray>> entries;

    QJsonArray custom;
    for (const WindowPreset& p : std::as_const(m_presets)) {
        if (!p.isDefault)
            custom.append(p.toJson());
    }
    // Without a copy, what could not be read is written back after the
    // presets, so it is still there to recover; a value that was not even an
    // array cannot be kept beside them and gives way.
    if (!keepUnreadableCustomPresets(m_unreadableElements.isEmpty()
                                         ? QStringLiteral("they are replaced.")
                                         : QStringLiteral("they are saved again after the other presets."))) {
        for (const QJsonValue& element : std::as_const(m_unreadableElements))
            custom.append(element);
    }
    entries.append({SettingsKeys::customPresets, QJsonDocument(custom).toJson(QJsonDocument::Compact)});

    // A map keyed by id: a later preset with the same id replaces an earlier
    // one but keeps the earlier one's place in the array.
    QList<QUuid> order;
    QHash<QUuid, PresetSettings> settings;
    for (const WindowPreset& p : std::as_const(m_presets)) {
        if (!p.isDefault)
            continue;
        if (!settings.contains(p.id))
            order.append(p.id);
        settings.insert(p.id, PresetSettings{p.isVisible, p.sortOrder});
    }
    QJsonArray flat;
    for (const QUuid& id : std::as_const(order)) {
        const PresetSettings& s = settings[id];
        flat.append(WindowPreset::uuidString(id));
        flat.append(QJsonObject{{isVisibleKey, s.isVisible}, {sortOrderKey, s.sortOrder}});
    }
    entries.append({SettingsKeys::presetSettings, QJsonDocument(flat).toJson(QJsonDocument::Compact)});

    m_userDefaults->setDataValues(entries);
    emit objectWillChange();
}

void PresetManager::resetToDefaults()
{
    // The user asked for everything to go, but not for what they never saw:
    // unreadable presets are still copied out first.
    keepUnreadableCustomPresets(QStringLiteral("the reset deletes them."));
    m_userDefaults->remove(SettingsKeys::customPresets);
    m_userDefaults->remove(SettingsKeys::presetSettings);
    loadPresets();
    emit objectWillChange();
}
