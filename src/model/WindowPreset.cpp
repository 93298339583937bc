#include "model/WindowPreset.h"

#include <QDateTime>
#include <QJsonValue>

#include <array>

namespace {

std::unexpected<WindowPreset::DecodingError> failure(const char* key, const char* reason)
{
    return std::unexpected(WindowPreset::DecodingError{QString::fromLatin1(key), QString::fromLatin1(reason)});
}

} // namespace

std::optional<qint64> WindowPreset::jsonInteger(const QJsonValue& value)
{
    // toInteger() returns its fallback for anything that is not a whole number
    // within the 64-bit range; two different fallbacks tell a real value from
    // a refusal without a second parse.
    if (!value.isDouble())
        return std::nullopt;
    const qint64 a = value.toInteger(0);
    const qint64 b = value.toInteger(1);
    if (a != b)
        return std::nullopt;
    return a;
}

QString WindowPreset::DecodingError::description() const
{
    return QStringLiteral("\"%1\": %2").arg(key, reason);
}

double WindowPreset::now()
{
    return double(QDateTime::currentMSecsSinceEpoch()) / 1000.0 - referenceDateOffset;
}

const QList<WindowPreset>& WindowPreset::defaultPresets()
{
    // A function-local static is initialised exactly once, even under concurrent first calls.
    static const QList<WindowPreset> presets = [] {
        struct Builtin {
            const char* id;
            const char* name;
            qint64 width;
            qint64 height;
        };
        static constexpr std::array<Builtin, 5> builtins{{
            {"00000000-0000-0000-0000-000000000001", "Web Demo", 1200, 800},
            {"00000000-0000-0000-0000-000000000002", "Desktop App", 1440, 900},
            {"00000000-0000-0000-0000-000000000003", "Full HD", 1920, 1080},
            {"00000000-0000-0000-0000-000000000004", "HD Video", 1280, 720},
            {"00000000-0000-0000-0000-000000000005", "Compact", 800, 600},
        }};
        const double createdAt = now();
        QList<WindowPreset> list;
        qint64 order = 0;
        for (const Builtin& b : builtins) {
            list.append(WindowPreset{QUuid::fromString(QLatin1String(b.id)), QString::fromLatin1(b.name), b.width,
                                     b.height, true, createdAt, true, order++});
        }
        return list;
    }();
    return presets;
}

QString WindowPreset::uuidString(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> WindowPreset::parseUuid(const QString& text)
{
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const bool hyphenPlace = i == 8 || i == 13 || i == 18 || i == 23;
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (hyphenPlace ? c != u'-' : !hex)
            return std::nullopt;
    }
    return QUuid::fromString(text);
}

QJsonObject WindowPreset::toJson() const
{
    return QJsonObject{
        {QStringLiteral("id"), uuidString(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("width"), width},
        {QStringLiteral("height"), height},
        {QStringLiteral("isDefault"), isDefault},
        {QStringLiteral("createdAt"), createdAt},
        {QStringLiteral("isVisible"), isVisible},
        {QStringLiteral("sortOrder"), sortOrder},
    };
}

std::expected<WindowPreset, WindowPreset::DecodingError> WindowPreset::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return failure("", "a preset must be a JSON object");
    const QJsonObject o = value.toObject();
    WindowPreset p;

    const QJsonValue id = o.value(QLatin1String("id"));
    if (!id.isString())
        return failure("id", "missing or not a string");
    const std::optional<QUuid> uuid = parseUuid(id.toString());
    if (!uuid)
        return failure("id", "not a valid UUID");
    p.id = *uuid;

    const QJsonValue name = o.value(QLatin1String("name"));
    if (!name.isString())
        return failure("name", "missing or not a string");
    p.name = name.toString();

    const struct {
        const char* key;
        qint64* field;
    } integers[] = {{"width", &p.width}, {"height", &p.height}, {"sortOrder", &p.sortOrder}};
    for (const auto& entry : integers) {
        const std::optional<qint64> n = jsonInteger(o.value(QLatin1String(entry.key)));
        if (!n)
            return failure(entry.key, "missing or not a 64-bit integer");
        *entry.field = *n;
    }

    const struct {
        const char* key;
        bool* field;
    } booleans[] = {{"isDefault", &p.isDefault}, {"isVisible", &p.isVisible}};
    for (const auto& entry : booleans) {
        const QJsonValue v = o.value(QLatin1String(entry.key));
        if (!v.isBool())
            return failure(entry.key, "missing or not a boolean");
        *entry.field = v.toBool();
    }

    const QJsonValue createdAt = o.value(QLatin1String("createdAt"));
    if (!createdAt.isDouble())
        return failure("createdAt", "missing or not a number");
    p.createdAt = createdAt.toDouble();

    return p;
}
