#pragma once

#include "stores/DefaultsDatabase.h"

// The user's defaults on macOS: NSUserDefaults' standard database, which is
// the domain named by the bundle identifier. Data values are stored as data,
// lists of strings as property-list arrays of strings, as any other tool
// (`defaults write <bundle id> hiddenSnapPositions -array ...`) writes them.
class MacDefaultsDatabase : public DefaultsDatabase {
public:
    std::optional<QByteArray> data(const QString& key) const override;
    void setData(const QString& key, const QByteArray& value) override;
    void remove(const QString& key) override;
    std::optional<QStringList> stringList(const QString& key) const override;
    void setStringList(const QString& key, const QStringList& value) override;
    // Beside the program's other files, in Application Support.
    std::expected<QString, QString> keepCopy(const QString& key, const QByteArray& value) override;
};
