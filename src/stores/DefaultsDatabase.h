#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <expected>
#include <memory>
#include <optional>
#include <utility>

// The user's defaults database: the per-user store the settings stores keep
// their state in. Every write reaches the disk before it returns.
class DefaultsDatabase {
public:
    virtual ~DefaultsDatabase() = default;

    // The data value under key, or nothing when the key is missing or holds no data value.
    virtual std::optional<QByteArray> data(const QString& key) const = 0;
    virtual void setData(const QString& key, const QByteArray& value) = 0;
    virtual void remove(const QString& key) = 0;
    // Writes several data values as one change: a database that can write
    // them in a single trip to the disk, so no reader ever finds only some.
    virtual void setDataValues(const QList<std::pair<QString, QByteArray>>& values)
    {
        for (const auto& [key, value] : values)
            setData(key, value);
    }

    // The list of strings under key, or nothing when the key is missing or is
    // not a list of strings.
    virtual std::optional<QStringList> stringList(const QString& key) const = 0;
    virtual void setStringList(const QString& key, const QStringList& value) = 0;

    // Keeps a copy of a value the program could not read, somewhere the user can
    // recover it from, before that value is overwritten. Returns where the copy
    // is, or why none could be made. Databases that keep no copies refuse.
    virtual std::expected<QString, QString> keepCopy(const QString& key, const QByteArray& value)
    {
        Q_UNUSED(key)
        Q_UNUSED(value)
        return std::unexpected(QStringLiteral("this database keeps no copies"));
    }

    // The production database: QSettings under organization and application "Ventrel".
    static std::shared_ptr<DefaultsDatabase> standard();
};
