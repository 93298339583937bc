#pragma once

#include "window/GlobalShortcuts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusMessage>
#include <QHash>
#include <QVariantMap>

#include <memory>

// Global shortcuts through the desktop portal (org.freedesktop.portal.
// GlobalShortcuts: Plasma 5.27 and later, GNOME 48 and later). The desktop,
// not Ventrel, owns the keys: it is asked for the preferred ones, may assign
// others or none, and the user may change them there at any time, so every
// shortcut reports the trigger the portal last described.
class PortalGlobalShortcuts final : public GlobalShortcuts {
    Q_OBJECT
public:
    // Nothing when the bus has no portal with the GlobalShortcuts interface.
    static std::unique_ptr<PortalGlobalShortcuts> create(const QDBusConnection& bus, const QString& appId);

    void registerShortcut(const QString& id, const QString& description, QKeyCombination keys) override;
    void unregisterShortcut(const QString& id) override;
    std::optional<Status> status(const QString& id) const override;

    // The trigger in the XDG shortcuts notation ("CTRL+ALT+Left"); empty for
    // keys it has no name for, which the desktop then lets the user choose.
    static QString preferredTrigger(QKeyCombination keys);

private slots:
    void onResponse(uint response, const QVariantMap& results, const QDBusMessage& message);
    void onActivated(const QDBusMessage& message);
    void onShortcutsChanged(const QDBusMessage& message);

private:
    struct Entry {
        QString description;
        QKeyCombination keys;
        Status status;
    };

    PortalGlobalShortcuts(const QDBusConnection& bus, const QString& appId);

    // Each call answers on a Request object of its own; the answer is awaited there.
    QString requestPath(const QString& token) const;
    void createSession();
    void scheduleBind();
    void bind();
    void takeShortcuts(const QDBusArgument& shortcuts);
    void setAll(Status status);

    QDBusConnection m_bus;
    QString m_session;
    QString m_createRequest;
    QString m_bindRequest;
    bool m_bindScheduled = false;
    int m_token = 0;
    QHash<QString, Entry> m_entries;
};
