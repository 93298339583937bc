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

    std::optional<QByteArray> data(const QString& key) const override { return typed<QByteArray>(key); }
    std::optional<QStringList> stringList(const QString& key) const override { return typed<QStringList>(key); }
    void setData(const QString& key, const QByteArray& value) override { write(key, value); }
    void setStringList(const QString& key, const QStringList& value) override { write(key, value); }
    void remove(const QString& key) override { write(key, {}); }
    std::expected<QString, QString> keepCopy(const QString& key, const QByteArray& value) override
    {
        if (refuseCopies)
            return std::unexpected(QStringLiteral("copies refused"));
        copies.append({key, value});
        return QStringLiteral("memory:%1").arg(copies.size());
    }

private:
    template <typename T> std::optional<T> typed(const QString& key) const
    {
        const QVariant v = values.value(key);
        return v.metaType() == QMetaType::fromType<T>() ? std::optional(v.value<T>()) : std::nullopt;
    }
    // An invalid value removes the key.
    void write(const QString& key, const QVariant& value)
    {
        ++writes;
        if (value.isValid())
            values.insert(key, value);
        else
            values.remove(key);
    }
};
