#pragma once

#include "window/GlobalShortcuts.h"

#include <QHash>
#include <QList>
#include <QTimer>

#include <xcb/xcb.h>

#include <memory>

class QSocketNotifier;
struct _XCBKeySymbols;

// Global shortcuts on X11: a passive grab of each combination on the root
// window, on a connection of its own. The grabs change neither the focus nor
// the active window, so the window a shortcut acts on is the one the user was
// typing in.
class X11GlobalShortcuts final : public GlobalShortcuts {
    Q_OBJECT
public:
    // Nothing when no X server can be reached.
    static std::unique_ptr<X11GlobalShortcuts> connect(const char* displayName = nullptr);
    ~X11GlobalShortcuts() override;

    void registerShortcut(const QString& id, const QString& description, QKeyCombination keys) override;
    void unregisterShortcut(const QString& id) override;
    std::optional<Status> status(const QString& id) const override;

    // The X keysym Qt's key stands for; 0 for keys X has no keysym for.
    static uint32_t keysym(Qt::Key key);

    // How often a refused combination is tried again: X tells no one when a
    // grab is released.
    static constexpr std::chrono::milliseconds retryInterval{1000};

private:
    struct Grab {
        QKeyCombination keys;
        QList<xcb_keycode_t> keycodes;
        uint16_t modifiers = 0;
        Status status;
    };

    X11GlobalShortcuts(xcb_connection_t* connection, xcb_window_t root);

    void readModifierMap();
    // The lock modifiers' combinations a grab is repeated for.
    QList<uint16_t> lockCombinations() const;
    void grab(const QString& id, Grab& grab);
    void ungrab(const Grab& grab);
    void setStatus(const QString& id, Grab& grab, Status status);
    void regrabAll();
    void retryTaken();
    void readEvents();

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    _XCBKeySymbols* m_symbols;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_retry;
    QHash<QString, Grab> m_grabs;
    uint16_t m_numLock = 0;
    uint16_t m_scrollLock = 0;
    uint16_t m_alt = XCB_MOD_MASK_1;
    uint16_t m_super = XCB_MOD_MASK_4;
};
