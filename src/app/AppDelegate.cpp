#include "app/AppDelegate.h"

#include "app/ShortcutRegistrar.h"
#include "menubar/MenuBarManager.h"
#include "platform/GlobalShortcutsFactory.h"
#include "menubar/TrayHostWatcher.h"
#include "stores/PresetManager.h"
#include "stores/ShortcutManager.h"
#include "stores/SnapPositionManager.h"
#include "views/AboutView.h"
#include "views/DeferredRefresh.h"
#include "views/SettingsView.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

const char* const noTrayMessage = "ventrel: no system tray is running; the icon will appear as soon as one starts.\n";

void centerOnScreen(QWidget* window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

void makeFixedWindow(QWidget* window, const QString& title, QSize size)
{
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    window->setWindowTitle(title);
    window->setFixedSize(size);
    centerOnScreen(window);
}

} // namespace

AppDelegate::AppDelegate(WindowSystem& windowSystem, QObject* parent) : QObject(parent), m_windowSystem(windowSystem) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    bool waitForHost = false;
    TrayHostWatcher* trayHost = nullptr;
    if (TrayHostWatcher::waylandSession()) {
        trayHost = new TrayHostWatcher(QDBusConnection::sessionBus(), this);
        waitForHost = trayHost->mustWait();
    }
    // Said once, at start: on GNOME, what the session lacks and how to get it.
    m_gnomeNotice.printAtStart(!waitForHost && QSystemTrayIcon::isSystemTrayAvailable());
    if (waitForHost) {
        std::fputs(noTrayMessage, stderr);
        trayHost->whenReady([this] { startMenuBar(); });
        return;
    }
    startMenuBar();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Qt places the icon by itself once a tray appears.
        std::fputs(noTrayMessage, stderr);
    }
}

void AppDelegate::startMenuBar()
{
    m_menuBarManager =
        std::make_unique<MenuBarManager>(PresetManager::shared(), SnapPositionManager::shared(), m_windowSystem);
    QPointer<AppDelegate> self(this);
    m_menuBarManager->onSettingsRequested = [self] {
        if (self)
            self->showSettingsWindow(SettingsSection::general);
    };
    m_menuBarManager->onAboutRequested = [self] {
        if (self)
            self->showAboutWindow();
    };

    // The stores notify before they change, so the rebuild runs on a later
    // turn of the event loop, where it sees the new state. One rebuild per
    // turn: a drag of n presets notifies n + 1 times, and the menu would
    // otherwise be rebuilt as often, each time to the same end.
    auto* rebuild = new DeferredRefresh(
        [this] {
            if (m_menuBarManager)
                m_menuBarManager->rebuildMenu();
        },
        this);
    connect(&PresetManager::shared(), &PresetManager::objectWillChange, rebuild, &DeferredRefresh::schedule);
    connect(&SnapPositionManager::shared(), &SnapPositionManager::objectWillChange, rebuild,
            &DeferredRefresh::schedule);

    m_menuBarManager->setShortcuts(&ShortcutManager::shared());
    connect(&ShortcutManager::shared(), &ShortcutManager::objectWillChange, rebuild, &DeferredRefresh::schedule);
    m_shortcuts = std::make_unique<ShortcutRegistrar>(
        ShortcutManager::shared(), GlobalShortcutsFactory::create(m_windowSystem.name()), [this](const QString& id) {
            if (m_menuBarManager)
                m_menuBarManager->applyShortcut(id);
        });

    if (m_gnomeNotice.offersEnable()) {
        m_menuBarManager->onMenuBuilding = [this](QMenu* menu) { m_gnomeNotice.addMenuItems(menu); };
        m_menuBarManager->rebuildMenu();
    }
}

void AppDelegate::showSettingsWindow(SettingsSection section)
{
    if (m_settingsWindow && m_settingsWindow->isVisible()) {
        m_settingsWindow->raise();
        m_settingsWindow->activateWindow();
        return;
    }
    auto window = std::make_unique<SettingsView>(section);
    makeFixedWindow(window.get(), QStringLiteral("Settings"), SettingsView::windowSize);
    // A closed window is thrown away, so every opening starts from fresh view state.
    m_settingsWindow = std::move(window);
    scheduleBringToFront(m_settingsWindow.get());
}

void AppDelegate::showAboutWindow()
{
    if (!m_aboutWindow) {
        m_aboutWindow = std::make_unique<AboutView>();
        makeFixedWindow(m_aboutWindow.get(), QStringLiteral("About Ventrel"), AboutView::windowSize);
    }
    scheduleBringToFront(m_aboutWindow.get());
}

void AppDelegate::scheduleBringToFront(QWidget* window)
{
    QPointer<QWidget> target(window);
    QTimer::singleShot(presentationDelayMs, this, [target] {
        if (!target)
            return;
        target->show();
        target->raise();
        target->activateWindow();
    });
}
