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

SettingsDefaultsDatabase::SettingsDefaultsDatabase()
    : m_open([] {
          return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ventrel"),
                                             QStringLiteral("Ventrel"));
      }),
      m_settings(m_open())
{
}

SettingsDefaultsDatabase::SettingsDefaultsDatabase(const QString& fileName)
    : m_open([fileName] { return std::make_unique<QSettings>(fileName, QSettings::IniFormat); }), m_settings(m_open())
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
    QSettings& settings = writable();
    // Clears a list stored under the same name too.
    settings.remove(key);
    settings.setValue(key, value);
    commit(key);
}

void SettingsDefaultsDatabase::setDataValues(const QList<std::pair<QString, QByteArray>>& values)
{
    QSettings& settings = writable();
    QStringList keys;
    for (const auto& [key, value] : values) {
        settings.remove(key);
        settings.setValue(key, value);
        keys.append(key);
    }
    commit(keys.join(QLatin1String("\", \"")));
}

void SettingsDefaultsDatabase::remove(const QString& key)
{
    QSettings& settings = writable();
    settings.remove(key);
    commit(key);
}

std::optional<QStringList> SettingsDefaultsDatabase::stringList(const QString& key) const
{
    QSettings& settings = *m_settings;
    // A value under the key itself is a list written the ordinary way,
    // setValue(QStringList): the INI form keeps one element as a plain
    // string and an empty list as an invalid value.
    if (settings.contains(key)) {
        const QVariant value = settings.value(key);
        switch (value.typeId()) {
        case QMetaType::QStringList:
            return value.toStringList();
        case QMetaType::QString:
            return QStringList{value.toString()};
        case QMetaType::UnknownType:
            return QStringList();
        default:
            return std::nullopt;
        }
    }
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
    QSettings& settings = writable();
    settings.remove(key);
    settings.setValue(sizeKey(key), int(value.size()));
    for (qsizetype i = 0; i < value.size(); ++i)
        settings.setValue(elementKey(key, i), value.at(i));
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

void SettingsDefaultsDatabase::commit(const QString& keys)
{
    m_settings->sync();
    // A file QSettings could only partly parse reports FormatError for good,
    // yet the write has gone through; only AccessError means it did not.
    if (m_settings->status() != QSettings::AccessError)
        return;
    qWarning().noquote() << QStringLiteral("Ventrel: the setting \"%1\" was not saved: cannot write %2")
                                .arg(keys, m_settings->fileName());
    m_failed = true;
}

QSettings& SettingsDefaultsDatabase::writable()
{
    // QSettings keeps its first error for its whole life. A fresh instance,
    // opened when the next write comes, lets that write report its own outcome;
    // callers rewrite whole values, so it stores everything again.
    if (m_failed) {
        m_settings = m_open();
        m_failed = false;
    }
    return *m_settings;
}
