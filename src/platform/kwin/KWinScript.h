#pragma once

#include "window/PlatformError.h"

#include <QDBusConnection>
#include <QString>

#include <expected>

// Ventrel's script inside KWin: written to a private file in the user's
// runtime folder, loaded under a plugin name of this user and process
// ("ventrel-<uid>-<pid>"), run, and unloaded again. The file stays beside
// the loaded plugin, so the next start can tell from the files which
// plugins belong to Ventrel processes that are gone, and unload them.
class KWinScript {
public:
    KWinScript(QDBusConnection connection, QString folder);
    ~KWinScript();

    KWinScript(const KWinScript&) = delete;
    KWinScript& operator=(const KWinScript&) = delete;

    // Where the script files live: "ventrel" in the runtime folder, made
    // private to the user. Empty when there is no runtime folder.
    static QString defaultFolder();

    // Writes the script for the bridge at service and path, loads and runs it.
    // token tells this load's calls from an unloaded script's late ones.
    std::expected<void, PlatformError> load(const QString& service, const QString& path, const QString& token);
    void unload();
    bool loaded() const { return m_loaded; }
    QString pluginName() const;
    QString file() const;
    const QString& folder() const { return m_folder; }

    // Unloads the plugins of Ventrel processes that no longer run and removes
    // their files; returns how many were cleaned up.
    static int removeStale(const QDBusConnection& connection, const QString& folder);

    // The script's text with the bridge's address put in front of it.
    static QByteArray text(const QString& service, const QString& path, const QString& token);

    static constexpr int callTimeoutMs = 2000;

private:
    static QString pluginName(qint64 pid);
    static bool unloadPlugin(const QDBusConnection& connection, const QString& name);

    QDBusConnection m_connection;
    QString m_folder;
    bool m_loaded = false;
};
