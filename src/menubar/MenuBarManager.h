#pragma once

#include "model/SnapPosition.h"
#include "model/WindowPreset.h"
#include "window/WindowManager.h"

#include <QMenu>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class PresetManager;
class QAction;

class QSystemTrayIcon;
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

    // Builds a fresh menu from the stores and installs it; a menu installed
    // before is never modified.
    void rebuildMenu();

    // The menu currently installed on the tray icon.
    QMenu* menu() const { return m_menu; }
    QSystemTrayIcon* statusItem() const { return m_statusItem.get(); }

    // Menu item actions; each takes the chosen item.
    void applyPreset(QAction* sender);
    void applySnapPosition(QAction* sender);
    void openSettings();
    void openAbout();
    void requestPermission();
    void quitApp();

    // A modal warning with one "OK" button; returns once it is dismissed.
    static void showAlert(const QString& title, const QString& message);

    static QString presetTitle(const WindowPreset& preset);

private:
    void setupStatusItem();
    // Takes the permission branch when needed; true when the action may proceed.
    bool ensurePermission();
    void menuWillOpen();

    PresetManager& m_presetManager;
    SnapPositionManager& m_snapPositionManager;
    WindowSystem& m_windowSystem;
    WindowManager m_windowManager;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
    QPointer<QMenu> m_menu;
    QMenu* m_openingMenu = nullptr;
};
