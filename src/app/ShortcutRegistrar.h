#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

class GlobalShortcuts;
class ShortcutManager;

// Keeps the desktop's global shortcuts in step with the store, and hands
// each press to the action that runs the same item from the menu.
class ShortcutRegistrar : public QObject {
    Q_OBJECT
public:
    ShortcutRegistrar(ShortcutManager& store, std::unique_ptr<GlobalShortcuts> system,
                      std::function<void(const QString& id)> trigger, QObject* parent = nullptr);
    ~ShortcutRegistrar() override;

    GlobalShortcuts& system() const { return *m_system; }

private:
    void synchronize();
    // Says on standard error when a shortcut is taken, once per reason.
    void report(const QString& id);

    ShortcutManager& m_store;
    std::unique_ptr<GlobalShortcuts> m_system;
    std::function<void(const QString&)> m_trigger;
    QSet<QString> m_registered;
    QHash<QString, QString> m_reported;
};
