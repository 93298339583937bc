#include "platform/macos/MacDefaultsDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

#import <Foundation/Foundation.h>

namespace {

NSUserDefaults* defaults()
{
    return [NSUserDefaults standardUserDefaults];
}

// Qt's own conversions to Foundation types exist only in Qt's Apple builds;
// these plain ones let the file be checked anywhere.
NSString* ns(const QString& text)
{
    return [NSString stringWithUTF8String:text.toUtf8().constData()];
}

QString fromNS(NSString* text)
{
    return QString::fromUtf8([text UTF8String]);
}

// The database writes in the background; the stores promise every change is
// on disk when they return, so each write waits for it.
void commit()
{
    [defaults() synchronize];
}

} // namespace

std::shared_ptr<DefaultsDatabase> DefaultsDatabase::standard()
{
    static const std::shared_ptr<DefaultsDatabase> database = std::make_shared<MacDefaultsDatabase>();
    return database;
}

std::optional<QByteArray> MacDefaultsDatabase::data(const QString& key) const
{
    // nil when the key is missing or does not hold data.
    NSData* value = [defaults() dataForKey:ns(key)];
    if (value == nil)
        return std::nullopt;
    return QByteArray(static_cast<const char*>(value.bytes), qsizetype(value.length));
}

void MacDefaultsDatabase::setData(const QString& key, const QByteArray& value)
{
    [defaults() setObject:[NSData dataWithBytes:value.constData() length:NSUInteger(value.size())] forKey:ns(key)];
    commit();
}

void MacDefaultsDatabase::remove(const QString& key)
{
    [defaults() removeObjectForKey:ns(key)];
    commit();
}

std::optional<QStringList> MacDefaultsDatabase::stringList(const QString& key) const
{
    // nil when the key is missing, is not an array, or holds something other than strings.
    NSArray<NSString*>* value = [defaults() stringArrayForKey:ns(key)];
    if (value == nil)
        return std::nullopt;
    QStringList list;
    list.reserve(qsizetype(value.count));
    for (NSString* element in value)
        list.append(fromNS(element));
    return list;
}

void MacDefaultsDatabase::setStringList(const QString& key, const QStringList& value)
{
    NSMutableArray<NSString*>* array = [NSMutableArray arrayWithCapacity:NSUInteger(value.size())];
    for (const QString& element : value)
        [array addObject:ns(element)];
    [defaults() setObject:array forKey:ns(key)];
    commit();
}

std::expected<QString, QString> MacDefaultsDatabase::keepCopy(const QString& key, const QByteArray& value)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString digest =
        QString::fromLatin1(QCryptographicHash::hash(value, QCryptographicHash::Sha256).toHex().left(16));
    const QString path = QDir(folder).filePath(key + QLatin1String(".unreadable-") + digest + QLatin1String(".bak"));
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return std::unexpected(QStringLiteral("cannot create the folder %1").arg(folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(value) != value.size() || !file.commit())
        return std::unexpected(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return path;
}
