#include "app/VentrelApp.h"

#include "app/AppDelegate.h"
#include "app/SingleInstance.h"
#include "window/WindowSystem.h"

#include <QApplication>
#include <QTimer>

int VentrelApp::run(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ventrel"));
    QApplication::setApplicationName(QStringLiteral("Ventrel"));
    QApplication::setApplicationVersion(QStringLiteral(VENTREL_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance;
    if (instance.notifyRunningInstance())
        return 0;

    const std::unique_ptr<WindowSystem> windowSystem = WindowSystem::create();
    AppDelegate delegate(*windowSystem);
    if (instance.listen()) {
        QObject::connect(&instance, &SingleInstance::settingsRequested, &delegate,
                         [&delegate] { delegate.showSettingsWindow(SettingsSection::general); });
    }
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return QApplication::exec();
}
