#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class PresetManager;

// sway and i3 let no program take global keys: the user binds them in the
// window manager's configuration, to Ventrel's command line. These are the
// lines for the stored shortcuts, in the syntax both share.
class BindingLines {
public:
    // One `bindsym` line per stored shortcut whose preset or snap position
    // exists, in the order of the stored object; program is how the window
    // manager starts Ventrel. Shortcuts with a key X has no name for become
    // comments saying so.
    static QStringList lines(const QByteArray& storedShortcuts, const PresetManager& presets, const QString& program);
    // "Ctrl+Alt+Left" as the window manager writes it ("Ctrl+Mod1+Left");
    // nothing for text that is not one combination of a key X can name.
    static std::optional<QString> keys(const QString& portableText);
};
