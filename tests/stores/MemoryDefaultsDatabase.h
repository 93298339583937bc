#pragma once

#include "stores/DefaultsDatabase.h"

#include <QHash>
#include <QVariant>

// A defaults database in memory, for the cases a real file cannot produce:
// values of a foreign type under our keys, refused copies, counted writes.
class MemoryDefaultsDatabase : public DefaultsDatabase {
public:
    QHash<QString, QVariant> values;
    int writes = 0;
    // Copies handed to keepCopy(), in order; refused ones are not recorded.
    QList<QPair<QString, QByteArray>> copies;
    bool refuseCopies = false;

    std::optional<QByteArray> data(const QString& key) const override
    {
        const QVariant v = values.value(key);
        if (v.typeId() != QMetaType::QByteArray)
            return std::nullopt;
        return v.toByteArray();
    }
    void setData(const QString& key, const QByteArray& value) override
    {
        ++writes;
        values.insert(key, value);
    }
    void remove(const QString& key) override
    {
        ++writes;
        values.remove(key);
    }
    std::optional<QStringList> stringList(const QString& key) const override
    {
        const QVariant v = values.value(key);
        if (v.typeId() != QMetaType::QStringList)
            return std::nullopt;
        return v.toStringList();
    }
    void setStringList(const QString& key, const QStringList& value) override
    {
        ++writes;
        values.insert(key, value);
    }
    std::expected<QString, QString> keepCopy(const QString& key, const QByteArray& value) override
    {
        if (refuseCopies)
            return std::unexpected(QStringLiteral("copies refused"));
        copies.append({key, value});
        return QStringLiteral("memory:%1").arg(copies.size());
    }
};
