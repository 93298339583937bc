#include "stores/SettingsDefaultsDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtDebug>

namespace {

QString sizeKey(const QString& key)
{
    return key + QLatin1String("/size");
}

QString elementKey(const QString& key, qsizetype index)
{
    // 1-based, like QSettings' own arrays, so the file reads the same as one
    // written with beginWriteArray().
    return key + QLatin1Char('/') + QString::number(index + 1) + QLatin1String("/value");
}

// A count written by us is an int; read back from an INI file it is its text.
std::optional<qint64> storedCount(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::QString: {
        bool ok = false;
        const qint64 n = value.toLongLong(&ok);
        if (ok && n >= 0)
            return n;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

std::shared_ptr<DefaultsDatabase> DefaultsDatabase::standard()
{
    static const std::shared_ptr<DefaultsDatabase> database = std::make_shared<SettingsDefaultsDatabase>();
    return database;
}

SettingsDefaultsDatabase::SettingsDefaultsDatabase()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Ventrel"), QStringLiteral("Ventrel")))
{
}

SettingsDefaultsDatabase::SettingsDefaultsDatabase(const QString& fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{
}

SettingsDefaultsDatabase::~SettingsDefaultsDatabase() = default;

QString SettingsDefaultsDatabase::fileName() const
{
    return m_settings->fileName();
}

std::optional<QByteArray> SettingsDefaultsDatabase::data(const QString& key) const
{
    const QVariant value = m_settings->value(key);
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

void SettingsDefaultsDatabase::setData(const QString& key, const QByteArray& value)
{
    // Clears a list stored under the same name too.
    m_settings->remove(key);
    m_settings->setValue(key, value);
    commit(key);
}

void SettingsDefaultsDatabase::setDataValues(const QList<std::pair<QString, QByteArray>>& values)
{
    QStringList keys;
    for (const auto& [key, value] : values) {
        m_settings->remove(key);
        m_settings->setValue(key, value);
        keys.append(key);
    }
    commit(keys.join(QLatin1String("\", \"")));
}

void SettingsDefaultsDatabase::remove(const QString& key)
{
    m_settings->remove(key);
    commit(key);
}

std::optional<QStringList> SettingsDefaultsDatabase::stringList(const QString& key) const
{
    QSettings& settings = *m_settings;
    // A plain value under the key was not written as a list.
    if (settings.contains(key))
        return std::nullopt;
    const std::optional<qint64> size = storedCount(settings.value(sizeKey(key)));
    if (!size)
        return std::nullopt;
    // Each element is a group of its own; a count beyond them cannot be honest,
    // and must not make us walk billions of missing entries.
    settings.beginGroup(key);
    const qsizetype groups = settings.childGroups().size();
    settings.endGroup();
    if (*size > groups)
        return std::nullopt;

    QStringList list;
    list.reserve(*size);
    for (qsizetype i = 0; i < *size; ++i) {
        const QVariant element = settings.value(elementKey(key, i));
        if (element.typeId() != QMetaType::QString)
            return std::nullopt;
        list.append(element.toString());
    }
    return list;
}

void SettingsDefaultsDatabase::setStringList(const QString& key, const QStringList& value)
{
    m_settings->remove(key);
    m_settings->setValue(sizeKey(key), int(value.size()));
    for (qsizetype i = 0; i < value.size(); ++i)
        m_settings->setValue(elementKey(key, i), value.at(i));
    commit(key);
}

std::expected<QString, QString> SettingsDefaultsDatabase::keepCopy(const QString& key, const QByteArray& value)
{
    // Named after the content: keeping the same bytes twice finds the first
    // copy, and different bytes never replace an older copy.
    const QFileInfo settingsFile(m_settings->fileName());
    const QString digest =
        QString::fromLatin1(QCryptographicHash::hash(value, QCryptographicHash::Sha256).toHex().left(16));
    const QString path = settingsFile.absoluteDir().filePath(settingsFile.completeBaseName() + QLatin1Char('.') + key +
                                                             QLatin1String(".unreadable-") + digest + QLatin1String(".bak"));
    {
        QFile existing(path);
        if (existing.open(QIODevice::ReadOnly) && existing.size() == value.size() && existing.readAll() == value)
            return path;
    }
    if (!QDir().mkpath(settingsFile.absolutePath()))
        return std::unexpected(QStringLiteral("cannot create the folder %1").arg(settingsFile.absolutePath()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return std::unexpected(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    if (file.write(value) != value.size() || !file.commit())
        return std::unexpected(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return path;
}

void SettingsDefaultsDatabase::commit(const QString& key)
{
    m_settings->sync();
    const QSettings::Status status = m_settings->status();
    if (status == QSettings::NoError)
        return;
    const char* reason = status == QSettings::AccessError ? "cannot write the file" : "the file is not in a readable format";
    qWarning().noquote() << QStringLiteral("Ventrel: the setting \"%1\" was not saved to %2: %3")
                                .arg(key, m_settings->fileName(), QString::fromLatin1(reason));
}
