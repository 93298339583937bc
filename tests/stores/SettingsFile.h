#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

// Real settings files in a temporary folder.
struct SettingsFiles {
    QTemporaryDir dir;
    int count = 0;

    QString fresh() { return dir.filePath(QStringLiteral("run%1/Ventrel.conf").arg(++count)); }

    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static bool write(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    }
    // QSettings shares parsed files within a process; a copy at another path
    // is parsed anew, as a restarted process would parse the file.
    QString restart(const QString& path)
    {
        const QString copy = fresh();
        return write(copy, read(path)) ? copy : QString();
    }
};
