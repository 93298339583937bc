#include "stores/PresetError.h"

QString errorDescription(PresetError error)
{
    switch (error) {
    case PresetError::invalidDimensions:
        return QStringLiteral("Width and height must be between 100 and 10000 pixels.");
    case PresetError::nameTooShort:
        return QStringLiteral("Preset name must be at least 1 character.");
    case PresetError::nameAlreadyExists:
        return QStringLiteral("A preset with this name already exists.");
    case PresetError::cannotDeleteDefault:
        return QStringLiteral("Cannot delete default presets.");
    }
    return {};
}
