#pragma once

#include <QString>

enum class PresetError {
    invalidDimensions,
    nameTooShort,
    nameAlreadyExists,
    cannotDeleteDefault,
};

// The exact text shown to the user for each refusal.
QString errorDescription(PresetError error);
