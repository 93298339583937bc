#include "model/SnapPosition.h"

#include <cmath>

namespace {

struct Names {
    const char* raw;
    const char* display;
    const char* icon;
};

constexpr std::array<Names, 7> names{{
    {"leftHalf", "Left Half", "rectangle.lefthalf.filled"},
    {"rightHalf", "Right Half", "rectangle.righthalf.filled"},
    {"leftThird", "Left Third", "rectangle.leftthird.inset.filled"},
    {"centerThird", "Center Third", "inset.filled.leftthird.middlethird.rightthird.rectangle"},
    {"rightThird", "Right Third", "rectangle.rightthird.inset.filled"},
    {"topHalf", "Top Half", "rectangle.tophalf.filled"},
    {"bottomHalf", "Bottom Half", "rectangle.bottomhalf.filled"},
}};

} // namespace

const std::array<SnapPosition, 7>& SnapPosition::allCases()
{
    static constexpr std::array<SnapPosition, 7> cases{leftHalf, rightHalf, leftThird, centerThird,
                                                        rightThird, topHalf, bottomHalf};
    return cases;
}

std::optional<SnapPosition> SnapPosition::fromRawValue(QStringView rawValue)
{
    for (SnapPosition p : allCases()) {
        if (rawValue == QLatin1String(names[p.m_case].raw))
            return p;
    }
    return std::nullopt;
}

QString SnapPosition::rawValue() const
{
    return QString::fromLatin1(names[m_case].raw);
}

QString SnapPosition::displayName() const
{
    return QString::fromLatin1(names[m_case].display);
}

QString SnapPosition::iconName() const
{
    return QString::fromLatin1(names[m_case].icon);
}

QRectF SnapPosition::frame(const QRectF& in) const
{
    const double x = in.x();
    const double y = in.y();
    const double w = std::abs(in.width());
    const double h = std::abs(in.height());
    switch (m_case) {
    case leftHalf:
        return {x, y, w * 0.5, h};
    case rightHalf:
        return {x + w * 0.5, y, w * 0.5, h};
    case leftThird:
        return {x, y, w / 3, h};
    case centerThird:
        return {x + w / 3, y, w / 3, h};
    case rightThird:
        return {x + (w + w) / 3, y, w / 3, h};
    case topHalf:
        return {x, y + h * 0.5, w, h * 0.5};
    case bottomHalf:
        return {x, y, w, h * 0.5};
    }
    return in;
}
