#pragma once

#include <QString>

// Every key under which the program keeps its own state, in one place: the
// stores that own them, the command line that reads them and the tests all
// name them from here.
namespace SettingsKeys {

// Presets (PresetManager): custom presets whole; the visibility and order of
// the built-in ones.
inline const QString customPresets = QStringLiteral("customPresets");
inline const QString presetSettings = QStringLiteral("presetSettings");
// Snap positions the menu does not offer (SnapPositionManager).
inline const QString hiddenSnapPositions = QStringLiteral("hiddenSnapPositions");
// Global shortcuts: one JSON object from preset UUID (upper case) or snap
// position raw value to QKeySequence portable text (ShortcutManager).
inline const QString shortcuts = QStringLiteral("shortcuts");
// Which screen snaps fill: "main" or "window"; missing means main (SnapPositionManager).
inline const QString screenChoice = QStringLiteral("screenChoice");
// The appcast updater's own state (FeedUpdaterController).
inline const QString automaticUpdateChecks = QStringLiteral("Updater/automaticallyChecksForUpdates");
inline const QString lastUpdateCheckTime = QStringLiteral("Updater/lastCheckTime");

} // namespace SettingsKeys
