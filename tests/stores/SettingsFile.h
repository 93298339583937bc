#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>

// Helpers for tests that go through a real settings file.
namespace SettingsFile {

inline QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// QSettings shares parsed files within a process, so a second instance on the
// same path sees the values as they were written, not as the file reads back.
// A copy at another path makes the next database parse the file itself, as a
// restarted process would.
inline QString copyForRestart(const QString& path, const QString& newPath)
{
    write(newPath, read(path));
    return newPath;
}

} // namespace SettingsFile
