#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// One section of the Settings window, in sidebar order. The raw value is the
// title shown in the sidebar and also the section's identity.
class SettingsSection {
public:
    enum Case { general, presets, snapPositions };

    constexpr SettingsSection() = default;
    constexpr SettingsSection(Case value) : m_case(value) {} // NOLINT: implicit, like the enum it wraps

    constexpr Case value() const { return m_case; }

    static const std::array<SettingsSection, 3>& allCases();
    // Matches the raw value exactly, letter case included.
    static std::optional<SettingsSection> fromRawValue(QStringView rawValue);

    QString rawValue() const;
    QString id() const { return rawValue(); }
    // Symbol name for SymbolIcon.
    QString iconName() const;

    friend constexpr bool operator==(SettingsSection a, SettingsSection b) { return a.m_case == b.m_case; }

private:
    Case m_case = general;
};

inline size_t qHash(SettingsSection section, size_t seed = 0) noexcept
{
    return qHash(int(section.value()), seed);
}
