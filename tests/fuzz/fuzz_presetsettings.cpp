#include "stores/MemoryDefaultsDatabase.h"
#include "stores/PresetManager.h"
#include "stores/SettingsKeys.h"

// The "presetSettings" array as stored: whatever it holds, the five built-in
// presets load, and a save followed by a load gives the same presets.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto db = std::make_shared<MemoryDefaultsDatabase>();
    db->values.insert(SettingsKeys::presetSettings, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    PresetManager store(db);
    if (store.presets().size() != 5)
        abort();
    store.savePresets();
    if (PresetManager(db).presets() != store.presets())
        abort();
    return 0;
}
