#include "app/VentrelApp.h"

#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/Doctor.h"
#include "app/SingleInstance.h"
#include "platform/WindowSystemFactory.h"
#include "views/Accessibility.h"
#include "views/AppIcon.h"

#include <QApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

// Qt aborts when it cannot reach a display; say what is wrong instead.
bool hasDisplay()
{
#ifdef Q_OS_MACOS
    return true;
#else
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
#endif
}

} // namespace

int VentrelApp::run(int argc, char** argv)
{
    if (!hasDisplay()) {
        std::fputs("ventrel: no display to show the tray icon on (neither DISPLAY nor WAYLAND_DISPLAY is set); see 'ventrel --help'.\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    Accessibility::install();
    QApplication::setOrganizationName(QStringLiteral("Ventrel"));
    QApplication::setApplicationName(QStringLiteral("Ventrel"));
    QApplication::setApplicationVersion(QStringLiteral(VENTREL_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    // Settings and About take the window icon from here; the desktop file
    // name ties the windows to the launcher entry and its icon.
    QApplication::setWindowIcon(AppIcon::application());
    QGuiApplication::setDesktopFileName(QStringLiteral(VENTREL_APP_ID));

    SingleInstance instance;
    const SingleInstance::Outcome outcome = instance.start();
    if (outcome.role == SingleInstance::Role::handedOver)
        return 0;
    if (!outcome.message.isEmpty())
        std::fprintf(stderr, "ventrel: %s\n", qPrintable(outcome.message));
    if (outcome.role == SingleInstance::Role::blocked)
        return 1;

    const std::unique_ptr<WindowSystem> windowSystem = WindowSystemFactory::create();
    AppDelegate delegate(*windowSystem);
    QObject::connect(&instance, &SingleInstance::settingsRequested, &delegate,
                     [&delegate] { delegate.showSettingsWindow(SettingsSection::general); });
    // A command from `ventrel` runs here as it would in its own process, on
    // the backend already open; its failures go back to its caller, never
    // into an alert.
    instance.setCommandHandler([&windowSystem](const QStringList& arguments) {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        CommandLine commandLine([&]() -> WindowSystem& { return *windowSystem; },
                                [] { return DefaultsDatabase::standard(); }, outStream, errStream,
                                [] { return Doctor::report(Doctor::gather()); });
        const int status = commandLine.run(arguments);
        outStream.flush();
        errStream.flush();
        return CommandProtocol::Reply{status, out.toStdString(), err.toStdString()};
    });
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return QApplication::exec();
}

extern "C" Q_DECL_EXPORT int ventrel_tray_main(int argc, char** argv)
{
    return VentrelApp::run(argc, argv);
}
