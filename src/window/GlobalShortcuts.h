#pragma once

#include <QKeyCombination>
#include <QObject>
#include <QString>

#include <optional>

// Key combinations that reach the program wherever the focus is: one backend
// per desktop (an X11 grab, the desktop portal, macOS hot keys) and one that
// only explains why there are none. GlobalShortcutsFactory chooses it beside
// the window backend.
//
// A shortcut stays registered whatever happens to it: a combination another
// program holds is kept, and takes effect once that program lets it go.
class GlobalShortcuts : public QObject {
    Q_OBJECT
public:
    struct Status {
        enum class State {
            active,           // pressing it reaches us
            taken,            // the system refused it; detail says why
            managedByDesktop, // the desktop chose the keys; detail is its trigger, as it words it
            unsupported,      // no global shortcuts here; detail is a plain sentence for the user
        };
        State state = State::unsupported;
        QString detail;
        friend bool operator==(const Status&, const Status&) = default;
    };

    using QObject::QObject;

    // Registers id (a preset's upper-case UUID or a snap position's raw value)
    // or moves it to another combination. description is what a desktop that
    // lists shortcuts shows for it.
    virtual void registerShortcut(const QString& id, const QString& description, QKeyCombination keys) = 0;
    virtual void unregisterShortcut(const QString& id) = 0;
    // Nothing for an id that is not registered.
    virtual std::optional<Status> status(const QString& id) const = 0;
    // The window manager ("sway", "i3") whose own configuration binds keys
    // where no program may take them; empty elsewhere.
    virtual QString bindingDialect() const { return {}; }

signals:
    // Sent while the keys are still down, so the focused window is the one
    // that had the focus when they were pressed.
    void activated(const QString& id);
    void statusChanged(const QString& id);
};
