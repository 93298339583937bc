#pragma once

#include "app/GnomeSessionNotice.h"
#include "views/SettingsSection.h"

#include <QObject>
#include <QPointer>

#include <memory>

class MenuBarManager;
class ShortcutRegistrar;
class QWidget;
class WindowSystem;

// Starts the menu bar, keeps its menu in step with the stores and owns the
// Settings and About windows for the life of the program.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(WindowSystem& windowSystem, QObject* parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    // Opens a new Settings window on the given section, or brings the open one forward.
    void showSettingsWindow(SettingsSection section);
    // Shows the About window, created once and reused.
    void showAboutWindow();

    MenuBarManager* menuBarManager() const { return m_menuBarManager.get(); }
    QWidget* settingsWindow() const { return m_settingsWindow.get(); }
    QWidget* aboutWindow() const { return m_aboutWindow.get(); }

    // How long a new window waits before it is brought to the front.
    static constexpr int presentationDelayMs = 100;

private:
    // Creates the tray icon and its menu (Qt decides then which tray to use).
    void startMenuBar();
    void scheduleBringToFront(QWidget* window);

    WindowSystem& m_windowSystem;
    std::unique_ptr<MenuBarManager> m_menuBarManager;
    std::unique_ptr<ShortcutRegistrar> m_shortcuts;
    std::unique_ptr<QWidget> m_settingsWindow;
    std::unique_ptr<QWidget> m_aboutWindow;
    GnomeSessionNotice m_gnomeNotice;
};
