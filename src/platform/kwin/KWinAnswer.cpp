#include "platform/kwin/KWinAnswer.h"

#include <QJsonArray>

#include <cmath>

namespace KWinAnswer {

namespace {

// Plasma 6 reports fractional frames; a whole pixel is what we place.
std::optional<int> coordinate(const QJsonValue& value, double low, double high)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < low || number > high)
        return std::nullopt;
    return static_cast<int>(std::lround(number));
}

} // namespace

std::optional<QRect> frame(const QJsonValue& value)
{
    const QJsonArray array = value.toArray();
    if (array.size() != 4)
        return std::nullopt;
    const auto x = coordinate(array.at(0), -limit, limit);
    const auto y = coordinate(array.at(1), -limit, limit);
    const auto width = coordinate(array.at(2), 1, limit);
    const auto height = coordinate(array.at(3), 1, limit);
    if (!x || !y || !width || !height)
        return std::nullopt;
    return QRect(*x, *y, *width, *height);
}

std::optional<QSize> size(const QJsonValue& value)
{
    const QJsonArray array = value.toArray();
    if (array.size() != 2 || !array.at(0).isDouble() || !array.at(1).isDouble())
        return std::nullopt;
    const auto clamp = [](double number) -> std::optional<int> {
        if (std::isnan(number) || number < 0)
            return std::nullopt;
        return static_cast<int>(std::min(number, limit));
    };
    const auto width = clamp(array.at(0).toDouble());
    const auto height = clamp(array.at(1).toDouble());
    if (!width || !height)
        return std::nullopt;
    return QSize(*width, *height);
}

std::optional<qint64> whole(const QJsonValue& value, double max)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < 0 || number > max || number != std::floor(number))
        return std::nullopt;
    return static_cast<qint64>(number);
}

} // namespace KWinAnswer
