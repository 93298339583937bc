#include "menubar/MenuBarManager.h"

#include "stores/PresetManager.h"
#include "stores/SnapPositionManager.h"
#include "views/SymbolIcon.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>

MenuBarManager::MenuBarManager(PresetManager& presetManager, SnapPositionManager& snapPositionManager,
                               WindowSystem& windowSystem, QObject* parent)
    : QObject(parent),
      m_presetManager(presetManager),
      m_snapPositionManager(snapPositionManager),
      m_windowSystem(windowSystem),
      m_windowManager(windowSystem)
{
    setupStatusItem();
}

MenuBarManager::~MenuBarManager()
{
    delete m_menu;
}

void MenuBarManager::setupStatusItem()
{
    m_statusItem = std::make_unique<QSystemTrayIcon>();
    m_statusItem->setIcon(SymbolIcon::trayIcon());
    m_statusItem->setToolTip(QStringLiteral("Ventrel"));
    // A status item opens its menu on a left click too; the right click is
    // handled by the tray through the context menu.
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // Opening the menu rebuilds it (aboutToShow), as for the right click.
        if (reason == QSystemTrayIcon::Trigger && m_menu)
            m_menu->popup(QCursor::pos());
    });
    rebuildMenu();
    m_statusItem->show();
}

QString MenuBarManager::presetTitle(const WindowPreset& preset)
{
    return QStringLiteral("%1\u00D7%2 - %3").arg(QString::number(preset.width), QString::number(preset.height), preset.name);
}

void MenuBarManager::rebuildMenu()
{
    auto* menu = new QMenu;
    connect(menu, &QMenu::aboutToShow, this, &MenuBarManager::menuWillOpen);

    if (!m_windowSystem.isProcessTrusted(false)) {
        menu->addAction(QStringLiteral("Grant Accessibility Permission..."), this, &MenuBarManager::requestPermission);
        menu->addSeparator();
    }

    const QList<WindowPreset> presets = m_presetManager.visiblePresets();
    for (qsizetype i = 0; i < presets.size(); ++i) {
        QAction* action = menu->addAction(presetTitle(presets.at(i)));
        action->setData(QVariant::fromValue(presets.at(i)));
        if (i < 9)
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)));
        connect(action, &QAction::triggered, this, [this, action] { applyPreset(action); });
    }
    menu->addSeparator();

    const QList<SnapPosition>& positions = m_snapPositionManager.visiblePositions();
    if (!positions.isEmpty()) {
        auto* submenu = new QMenu(QStringLiteral("Snap Position"), menu);
        for (SnapPosition position : positions) {
            QAction* action = submenu->addAction(position.displayName());
            action->setData(QVariant::fromValue(position));
            const QIcon icon = SymbolIcon::icon(position.iconName());
            if (!icon.isNull())
                action->setIcon(icon);
            connect(action, &QAction::triggered, this, [this, action] { applySnapPosition(action); });
        }
        menu->addMenu(submenu);
    }
    menu->addSeparator();

    QAction* settings = menu->addAction(QStringLiteral("Settings..."), this, &MenuBarManager::openSettings);
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    menu->addAction(QStringLiteral("About Ventrel"), this, &MenuBarManager::openAbout);
    menu->addSeparator();
    QAction* quit = menu->addAction(QStringLiteral("Quit Ventrel"), this, &MenuBarManager::quitApp);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Qt would otherwise hide these in a macOS application menu.
    for (QAction* action : menu->actions())
        action->setMenuRole(QAction::NoRole);

    QMenu* previous = m_menu;
    m_menu = menu;
    m_statusItem->setContextMenu(menu);
    if (previous) {
        // The previous menu may be the one opening or on screen right now (a
        // rebuild runs as it opens); it goes once it is closed.
        if (previous->isVisible() || previous == m_openingMenu)
            connect(previous, &QMenu::aboutToHide, previous, &QObject::deleteLater);
        else
            previous->deleteLater();
    }
}

void MenuBarManager::menuWillOpen()
{
    m_openingMenu = qobject_cast<QMenu*>(sender());
    rebuildMenu();
    m_openingMenu = nullptr;
}

bool MenuBarManager::ensurePermission()
{
    if (m_windowSystem.isProcessTrusted(false))
        return true;
    m_windowSystem.isProcessTrusted(true);
    showAlert(QStringLiteral("Accessibility Permission Required"),
              QStringLiteral("Please grant Accessibility permission in System Settings > Privacy & Security > "
                             "Accessibility, then try again."));
    return false;
}

void MenuBarManager::applyPreset(QAction* sender)
{
    if (!sender || sender->data().metaType() != QMetaType::fromType<WindowPreset>())
        return;
    const WindowPreset preset = sender->data().value<WindowPreset>();
    if (!ensurePermission())
        return;
    m_windowManager.setScreenChoice(m_snapPositionManager.screenChoice());
    const auto result = m_windowManager.resizeFocusedWindow(double(preset.width), double(preset.height));
    if (!result)
        showAlert(QStringLiteral("Resize Failed"), errorDescription(result.error()));
}

void MenuBarManager::applySnapPosition(QAction* sender)
{
    if (!sender || sender->data().metaType() != QMetaType::fromType<SnapPosition>())
        return;
    const SnapPosition position = sender->data().value<SnapPosition>();
    if (!ensurePermission())
        return;
    m_windowManager.setScreenChoice(m_snapPositionManager.screenChoice());
    const auto result = m_windowManager.snapFocusedWindow(position);
    if (!result)
        showAlert(QStringLiteral("Snap Failed"), errorDescription(result.error()));
}

void MenuBarManager::openSettings()
{
    if (onSettingsRequested)
        onSettingsRequested();
}

void MenuBarManager::openAbout()
{
    if (onAboutRequested)
        onAboutRequested();
}

void MenuBarManager::requestPermission()
{
    m_windowSystem.isProcessTrusted(true);
}

void MenuBarManager::quitApp()
{
    QCoreApplication::quit();
}

void MenuBarManager::showAlert(const QString& title, const QString& message)
{
    QMessageBox alert(QMessageBox::Warning, title, message, QMessageBox::Ok);
    alert.setText(title);
    alert.setInformativeText(message);
    alert.setObjectName(QStringLiteral("ventrelAlert"));
    alert.exec();
}
