#include "stores/GeneralSettingsManager.h"

#include "stores/ShortcutManager.h"

#include <cstdio>

GeneralSettingsManager& GeneralSettingsManager::shared()
{
    static GeneralSettingsManager* const instance = [] {
        auto* manager = new GeneralSettingsManager(LoginItemService::create(), PresetManager::shared(),
                                                   SnapPositionManager::shared());
        manager->setShortcuts(&ShortcutManager::shared());
        return manager;
    }();
    return *instance;
}

GeneralSettingsManager::GeneralSettingsManager(std::shared_ptr<LoginItemService> service, PresetManager& presets,
                                               SnapPositionManager& positions, QObject* parent)
    : QObject(parent), m_service(std::move(service)), m_presets(presets), m_positions(positions)
{
    if (m_service)
        m_launchAtLogin = m_service->status() == LoginItemService::Status::enabled;
}

void GeneralSettingsManager::setLaunchAtLogin(bool enabled)
{
    if (!m_service)
        return;
    const std::expected<void, QString> result = enabled ? m_service->registerService() : m_service->unregisterService();
    if (!result) {
        // One line, even when the description quotes a path with a line break in it.
        QString description = result.error();
        description.replace(u'\n', u' ').replace(u'\r', u' ');
        const QByteArray line = (QStringLiteral("Failed to set launch at login: ") + description).toLocal8Bit();
        std::fprintf(stdout, "%s\n", line.constData());
        std::fflush(stdout);
        return;
    }
    emit objectWillChange();
    m_launchAtLogin = enabled;
}

void GeneralSettingsManager::resetAllSettings()
{
    setLaunchAtLogin(false);
    m_presets.resetToDefaults();
    m_positions.resetToDefaults();
    if (m_shortcuts)
        m_shortcuts->resetToDefaults();
}
