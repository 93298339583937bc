#pragma once

#include "stores/DefaultsDatabase.h"

#include <QHash>
#include <QVariant>

// A defaults database in memory, for what a real file cannot show: refused
// copies and counted writes. Like the file, it gives data only for data and
// lists only for lists.
class MemoryDefaultsDatabase : public DefaultsDatabase {
public:
    QHash<QString, QVariant> values;
    int writes = 0;
    QList<QPair<QString, QByteArray>> copies; // kept by keepCopy(), in order
    bool refuseCopies = false;

    std::optional<QByteArray> data(const QString& key) const override
    {
        const QVariant v = values.value(key);
        return v.typeId() == QMetaType::QByteArray ? std::optional(v.toByteArray()) : std::nullopt;
    }
    std::optional<QStringList> stringList(const QString& key) const override
    {
        const QVariant v = values.value(key);
        return v.typeId() == QMetaType::QStringList ? std::optional(v.toStringList()) : std::nullopt;
    }
    void setData(const QString& key, const QByteArray& value) override
    {
        ++writes;
        values.insert(key, value);
    }
    void setStringList(const QString& key, const QStringList& value) override
    {
        ++writes;
        values.insert(key, value);
    }
    void remove(const QString& key) override
    {
        ++writes;
        values.remove(key);
    }
    std::expected<QString, QString> keepCopy(const QString& key, const QByteArray& value) override
    {
        if (refuseCopies)
            return std::unexpected(QStringLiteral("copies refused"));
        copies.append({key, value});
        return QStringLiteral("memory:%1").arg(copies.size());
    }
};
