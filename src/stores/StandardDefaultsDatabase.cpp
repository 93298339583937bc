#include "stores/SettingsDefaultsDatabase.h"

// The user's database where the platform has no defaults system of its own;
// macOS defines this with its NSUserDefaults database instead.
std::shared_ptr<DefaultsDatabase> DefaultsDatabase::standard()
{
    static const std::shared_ptr<DefaultsDatabase> database = std::make_shared<SettingsDefaultsDatabase>();
    return database;
}
