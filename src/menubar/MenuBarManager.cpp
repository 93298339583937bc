#include "menubar/MenuBarManager.h"

#include "stores/PresetManager.h"
#include "stores/ShortcutManager.h"
#include "stores/SnapPositionManager.h"
#include "views/AppIcon.h"
#include "views/SymbolIcon.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QTimer>
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

MenuBarManager::~MenuBarManager() = default;

void MenuBarManager::setupStatusItem()
{
    m_menu = std::make_unique<QMenu>();
    // The menu shows a separator at the top when no preset is visible, and
    // two in a row when no snap position is; Qt would fold those away.
    m_menu->setSeparatorsCollapsible(false);
    // Refilled before Qt measures and draws it, so the opening shows the
    // state of now, not that of the last store change.
    connect(m_menu.get(), &QMenu::aboutToShow, this, &MenuBarManager::rebuildMenu);
    m_menu->installEventFilter(this);
    m_statusItem = std::make_unique<QSystemTrayIcon>();
    m_statusItem->setIcon(AppIcon::tray());
    m_statusItem->setToolTip(QStringLiteral("Ventrel"));
    // A status item opens its menu on a left click too; the right click is
    // handled by the tray through the context menu.
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // Opening the menu rebuilds it (aboutToShow), as for the right click.
        if (reason == QSystemTrayIcon::Trigger)
            m_menu->popup(QCursor::pos());
    });
    rebuildMenu();
    m_statusItem->setContextMenu(m_menu.get());
    m_statusItem->show();
}

QString MenuBarManager::presetTitle(const WindowPreset& preset)
{
    return QStringLiteral("%1\u00D7%2 - %3").arg(QString::number(preset.width), QString::number(preset.height), preset.name);
}

void MenuBarManager::rebuildMenu()
{
    QMenu* menu = m_menu.get();
    // The old items go on a later turn: one of them may be the item whose
    // action is running now (an alert's event loop can run a rebuild).
    for (QAction* action : menu->actions()) {
        menu->removeAction(action);
        if (QMenu* submenu = action->menu())
            submenu->deleteLater(); // with its items and its own menu action
        else if (action->parent() == menu)
            action->deleteLater();
    }

    if (!m_windowSystem.isProcessTrusted(false)) {
        menu->addAction(QStringLiteral("Grant Accessibility Permission..."), this, &MenuBarManager::requestPermission);
        menu->addSeparator();
    }
    if (onMenuBuilding)
        onMenuBuilding(menu);

    const QList<WindowPreset> presets = m_presetManager.visiblePresets();
    for (qsizetype i = 0; i < presets.size(); ++i) {
        QAction* action = menu->addAction(presetTitle(presets.at(i)));
        action->setData(QVariant::fromValue(presets.at(i)));
        QList<QKeySequence> keys = globalShortcut(ShortcutManager::presetId(presets.at(i).id));
        if (i < 9)
            keys.append(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)));
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, [this, action] { applyPreset(action); });
    }
    menu->addSeparator();

    const QList<SnapPosition>& positions = m_snapPositionManager.visiblePositions();
    if (!positions.isEmpty()) {
        auto* submenu = new QMenu(QStringLiteral("Snap Position"), menu);
        for (SnapPosition position : positions) {
            QAction* action = submenu->addAction(position.displayName());
            action->setShortcuts(globalShortcut(position.rawValue()));
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
}

bool MenuBarManager::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_menu.get())
        return false;
    if (event->type() == QEvent::Show) {
        // Opened by the mouse, a menu has no current item, so a screen reader
        // says nothing until Down; a current first item is announced at once.
        QTimer::singleShot(0, m_menu.get(), [menu = m_menu.get()] {
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator() && action->isEnabled() && action->isVisible()) {
                    menu->setActiveAction(action);
                    break;
                }
            }
        });
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    // The open menu holds the keyboard, and Qt matches an action's shortcut
    // only within a window it belongs to, which a tray menu's items are not.
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (QAction* action : m_menu->actions()) {
        if (!action->shortcut().isEmpty() && action->shortcut() == pressed && action->isEnabled()) {
            // Chosen as Return chooses the current item, so the menu closes
            // and gives up its grab the way it always does.
            m_menu->setActiveAction(action);
            QKeyEvent choose(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(m_menu.get(), &choose);
            return true;
        }
    }
    return false;
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
    applyPreset(sender->data().value<WindowPreset>());
}

void MenuBarManager::applyPreset(const WindowPreset& preset)
{
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
    applySnapPosition(sender->data().value<SnapPosition>());
}

void MenuBarManager::applySnapPosition(SnapPosition position)
{
    if (!ensurePermission())
        return;
    m_windowManager.setScreenChoice(m_snapPositionManager.screenChoice());
    const auto result = m_windowManager.snapFocusedWindow(position);
    if (!result)
        showAlert(QStringLiteral("Snap Failed"), errorDescription(result.error()));
}

void MenuBarManager::applyShortcut(const QString& id)
{
    if (const std::optional<SnapPosition> position = SnapPosition::fromRawValue(id)) {
        applySnapPosition(*position);
        return;
    }
    for (const WindowPreset& preset : m_presetManager.presets()) {
        if (ShortcutManager::presetId(preset.id) == id) {
            applyPreset(preset);
            return;
        }
    }
}

QList<QKeySequence> MenuBarManager::globalShortcut(const QString& id) const
{
    // First, so that it is the one the menu shows; the global grab sees the
    // keys before the open menu would.
    if (!m_shortcuts || m_shortcuts->shortcut(id).isEmpty())
        return {};
    return {m_shortcuts->shortcut(id)};
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
