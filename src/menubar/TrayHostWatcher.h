#pragma once

#include <QDBusConnection>
#include <QObject>

#include <functional>

class QDBusServiceWatcher;

// Tells when the tray icon may be made. Qt asks once, when the first tray
// icon is made, whether a StatusNotifierWatcher with a host is on the session
// bus, and never again; in a Wayland session (where no X11 tray can stand in)
// an icon made before the panel registers its watcher, as at a Plasma login,
// never shows. There the icon waits for the watcher and its host.
class TrayHostWatcher : public QObject {
    Q_OBJECT
public:
    explicit TrayHostWatcher(QDBusConnection connection = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    // Whether the icon must wait: a Wayland session without a host yet.
    bool mustWait() const;
    // Runs ready once the watcher and its host are there (at once when the
    // icon need not wait).
    void whenReady(std::function<void()> ready);

    static bool hostRegistered(const QDBusConnection& connection);
    // Whether this is a Wayland session, where only a StatusNotifierItem host shows icons.
    static bool waylandSession();

private slots:
    void hostMayHaveRegistered();

private:
    QDBusConnection m_connection;
    QDBusServiceWatcher* m_serviceWatcher = nullptr;
    std::function<void()> m_ready;
};
