#pragma once

#include <QMetaType>
#include <QRectF>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// One of the seven screen regions a window can be snapped to. Rectangles are
// in screen coordinates: bottom-left origin, y growing upwards.
class SnapPosition {
public:
    enum Case { leftHalf, rightHalf, leftThird, centerThird, rightThird, topHalf, bottomHalf };

    // Defaults to leftHalf only so the type can live in Qt containers and variants.
    constexpr SnapPosition() = default;
    constexpr SnapPosition(Case value) : m_case(value) {} // NOLINT: implicit, like the enum it wraps

    constexpr Case value() const { return m_case; }

    // All positions in declaration order, the order wherever all are listed.
    static const std::array<SnapPosition, 7>& allCases();
    // Matches the raw value exactly, letter case included.
    static std::optional<SnapPosition> fromRawValue(QStringView rawValue);

    QString rawValue() const;
    QString displayName() const;
    QString iconName() const;
    QRectF frame(const QRectF& in) const;

    friend constexpr bool operator==(SnapPosition a, SnapPosition b) { return a.m_case == b.m_case; }

private:
    Case m_case = leftHalf;
};

inline size_t qHash(SnapPosition position, size_t seed = 0) noexcept
{
    return qHash(int(position.value()), seed);
}

Q_DECLARE_METATYPE(SnapPosition)
