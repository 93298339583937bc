#pragma once

#include <QObject>

#include <functional>

// Turns a store's change notices into one redraw on a later turn of the event
// loop. The stores announce a change before they make it, and several times
// for one action, so a view (or the tray menu) redraws once, after the
// action has finished.
class DeferredRefresh : public QObject {
    Q_OBJECT
public:
    // The refresh runs only while this object, a child of the view, lives.
    DeferredRefresh(std::function<void()> refresh, QObject* parent);

    void schedule();

private:
    std::function<void()> m_refresh;
    bool m_pending = false;
};
