#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QRect>
#include <QSize>

#include <optional>

// Reads what the script inside KWin sends back. KWin is another process:
// every number is checked before any arithmetic, and anything outside what a
// desktop can hold makes the whole answer unusable.
namespace KWinAnswer {

// Coordinates beyond this many pixels from the origin are taken as garbage.
inline constexpr double limit = 1'000'000;

// [x, y, width, height] with whole-pixel edges and a positive size.
std::optional<QRect> frame(const QJsonValue& value);
// [width, height], each 0 to limit (KWin's "no maximum" arrives larger and
// is taken as limit).
std::optional<QSize> size(const QJsonValue& value);
// An integer within 0 and max.
std::optional<qint64> whole(const QJsonValue& value, double max);

} // namespace KWinAnswer
