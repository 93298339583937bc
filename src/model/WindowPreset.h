#pragma once

#include <QJsonObject>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QUuid>

#include <expected>

// A named window size. Built-in presets come from defaultPresets(); the user's
// own presets are created by the preset store, which also enforces the ranges
// of name, width and height.
struct WindowPreset {
    QUuid id;
    QString name;
    qint64 width = 0;
    qint64 height = 0;
    bool isDefault = false;
    // Seconds since 2001-01-01 00:00:00 UTC. Kept as the stored double rather
    // than a QDateTime so that a value read from disk is written back bit for bit.
    double createdAt = 0;
    bool isVisible = true;
    qint64 sortOrder = 0;

    friend bool operator==(const WindowPreset&, const WindowPreset&) = default;

    // The five built-in presets, built once per process; every read gives the
    // same list, createdAt included.
    static const QList<WindowPreset>& defaultPresets();

    QJsonObject toJson() const;

    // Why a JSON value is not a preset: the offending key and what is wrong with it.
    struct DecodingError {
        QString key;
        QString reason;
        QString description() const;
    };
    static std::expected<WindowPreset, DecodingError> fromJson(const QJsonValue& value);

    // A JSON number that is a whole number within the 64-bit range, as every
    // stored integer must be.
    static std::optional<qint64> jsonInteger(const QJsonValue& value);

    // The canonical upper-case hyphenated form written to disk.
    static QString uuidString(const QUuid& id);
    // Accepts only the 36-character hyphenated form, in either letter case.
    static std::optional<QUuid> parseUuid(const QString& text);

    // Offset between the Unix epoch and 2001-01-01 00:00:00 UTC, in seconds.
    static constexpr double referenceDateOffset = 978307200.0;
    static double now();
};

Q_DECLARE_METATYPE(WindowPreset)
