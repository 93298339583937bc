#pragma once

#include "stores/DefaultsDatabase.h"

#include <QSettings>

#include <functional>

#include <memory>

// The defaults database kept by QSettings. Data values are stored as byte
// arrays. Lists of strings are written as a QSettings array (a group holding
// "size" and one "<n>/value" per element) because the flat INI form cannot
// tell a one-element list from a plain string, nor an empty list from an
// unset value; the array form round-trips every list exactly. Lists are read
// in every form a person or another tool may have written: that array, a
// QStringList stored under the key, or a plain string (a one-element list).
class SettingsDefaultsDatabase : public DefaultsDatabase {
public:
    // The user's database: native format, organization and application "Ventrel".
    SettingsDefaultsDatabase();
    // A database in the INI file at fileName, for tests and tools.
    explicit SettingsDefaultsDatabase(const QString& fileName);
    ~SettingsDefaultsDatabase() override;

    std::optional<QByteArray> data(const QString& key) const override;
    void setData(const QString& key, const QByteArray& value) override;
    void setDataValues(const QList<std::pair<QString, QByteArray>>& values) override;
    void remove(const QString& key) override;

    std::optional<QStringList> stringList(const QString& key) const override;
    void setStringList(const QString& key, const QStringList& value) override;

    std::expected<QString, QString> keepCopy(const QString& key, const QByteArray& value) override;

    // Where the values live on disk (on macOS, the preferences file).
    QString fileName() const;

private:
    // Writes pending changes to disk; complains on standard error when that
    // fails, since callers have no way to report it and the change is not kept.
    void commit(const QString& keys);
    QSettings& writable();

    std::function<std::unique_ptr<QSettings>()> m_open;
    std::unique_ptr<QSettings> m_settings;
    bool m_failed = false;
};
