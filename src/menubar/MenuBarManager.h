#pragma once

#include "model/SnapPosition.h"
#include "model/WindowPreset.h"
#include "window/WindowManager.h"

#include <QMenu>
#include <QObject>

#include <functional>
#include <memory>

class PresetManager;
class QAction;

class QSystemTrayIcon;
class ShortcutManager;
class SnapPositionManager;

// The tray icon and its menu: the program's only permanent user interface.
// The menu lists the visible presets and, in a submenu, the visible snap
// positions; choosing one applies it to the focused window and reports a
// failure in a modal alert.
class MenuBarManager : public QObject {
    Q_OBJECT
public:
    MenuBarManager(PresetManager& presetManager, SnapPositionManager& snapPositionManager, WindowSystem& windowSystem,
                   QObject* parent = nullptr);
    ~MenuBarManager() override;

    std::function<void()> onSettingsRequested;
    std::function<void()> onAboutRequested;
    // Adds items of the desktop's own at the top of each new menu (GNOME's
    // extension, when it is switched off).
    std::function<void(QMenu*)> onMenuBuilding;

    // The global shortcuts the menu shows beside its items; must outlive this.
    void setShortcuts(ShortcutManager* shortcuts) { m_shortcuts = shortcuts; }

    // Refills the tray icon's one menu from the stores, in place, so that a
    // menu about to open or already on screen shows the current state.
    void rebuildMenu();

    // The menu installed on the tray icon, the same object for the manager's life.
    QMenu* menu() const { return m_menu.get(); }
    QSystemTrayIcon* statusItem() const { return m_statusItem.get(); }

    // Menu item actions; each takes the chosen item.
    void applyPreset(QAction* sender);
    void applySnapPosition(QAction* sender);
    // What a global shortcut does: the same as its item in the menu, visible
    // or not. id is as the shortcut store names it.
    void applyShortcut(const QString& id);
    void openSettings();
    void openAbout();
    void requestPermission();
    void quitApp();

    // A modal warning with one "OK" button; returns once it is dismissed.
    static void showAlert(const QString& title, const QString& message);

    static QString presetTitle(const WindowPreset& preset);

protected:
    // The open menu's key equivalents, and its first item on opening.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupStatusItem();
    // Takes the permission branch when needed; true when the action may proceed.
    bool ensurePermission();
    void applyPreset(const WindowPreset& preset);
    void applySnapPosition(SnapPosition position);
    // The item's global shortcut, if it has one, to show in the menu.
    QList<QKeySequence> globalShortcut(const QString& id) const;

    PresetManager& m_presetManager;
    SnapPositionManager& m_snapPositionManager;
    WindowSystem& m_windowSystem;
    WindowManager m_windowManager;
    ShortcutManager* m_shortcuts = nullptr;
    // The menu outlives the icon that shows it.
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
};
