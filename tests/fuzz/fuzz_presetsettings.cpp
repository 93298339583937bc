#include "stores/PresetManager.h"
#include "stores/SettingsKeys.h"

#include <QHash>

namespace {

// Just enough of a defaults database to hand the store one stored value.
struct OneValue : DefaultsDatabase {
    QHash<QString, QByteArray> values;
    std::optional<QByteArray> data(const QString& key) const override
    {
        return values.contains(key) ? std::optional(values.value(key)) : std::nullopt;
    }
    void setData(const QString& key, const QByteArray& value) override { values.insert(key, value); }
    void remove(const QString& key) override { values.remove(key); }
    std::optional<QStringList> stringList(const QString&) const override { return std::nullopt; }
    void setStringList(const QString&, const QStringList&) override {}
};

} // namespace

// The "presetSettings" array as stored: whatever it holds, the five built-in
// presets load, and a save followed by a load gives the same presets.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto db = std::make_shared<OneValue>();
    db->values.insert(SettingsKeys::presetSettings, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    PresetManager store(db);
    if (store.presets().size() != 5)
        abort();
    store.savePresets();
    if (PresetManager(db).presets() != store.presets())
        abort();
    return 0;
}
