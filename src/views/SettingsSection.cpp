#include "views/SettingsSection.h"

namespace {

struct Names {
    const char* raw;
    const char* icon;
};

constexpr std::array<Names, 3> names{{
    {"General", "gear"},
    {"Presets", "rectangle.expand.vertical"},
    {"Snap Positions", "rectangle.lefthalf.filled"},
}};

} // namespace

const std::array<SettingsSection, 3>& SettingsSection::allCases()
{
    static constexpr std::array<SettingsSection, 3> cases{general, presets, snapPositions};
    return cases;
}

std::optional<SettingsSection> SettingsSection::fromRawValue(QStringView rawValue)
{
    for (SettingsSection s : allCases()) {
        if (rawValue == QLatin1String(names[s.m_case].raw))
            return s;
    }
    return std::nullopt;
}

QString SettingsSection::rawValue() const
{
    return QString::fromLatin1(names[m_case].raw);
}

QString SettingsSection::iconName() const
{
    return QString::fromLatin1(names[m_case].icon);
}
