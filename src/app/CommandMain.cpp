#include "app/CommandLine.h"
#include "app/Doctor.h"
#include "platform/WindowSystemFactory.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <memory>

// A command run in the caller's own process, loaded by `ventrel` when no
// tray app takes it (and always for doctor, which describes the caller's
// session).
extern "C" Q_DECL_EXPORT int ventrel_command_main(int argc, char** argv)
{
    // Without a GUI application object, so it is fast; the core one lets
    // backends that talk over D-Bus be answered.
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Ventrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Ventrel"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    std::unique_ptr<WindowSystem> windowSystem;
    QTextStream out(stdout);
    QTextStream err(stderr);
    CommandLine commandLine(
        [&]() -> WindowSystem& {
            if (!windowSystem)
                windowSystem = WindowSystemFactory::create();
            return *windowSystem;
        },
        [] { return DefaultsDatabase::standard(); }, out, err, [] { return Doctor::report(Doctor::gather()); });
    return commandLine.run(arguments);
}
