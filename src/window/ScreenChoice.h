#pragma once

#include <QString>

#include <optional>

// Which screen snaps fill and sizes are clamped to.
enum class ScreenChoice {
    // The desktop's main screen, whichever screen the window is on.
    main,
    // The screen that holds the largest part of the window.
    window,
};

// "main" / "window", as the command line and the settings file write them.
QString screenChoiceName(ScreenChoice choice);
std::optional<ScreenChoice> screenChoiceFromName(const QString& name);
