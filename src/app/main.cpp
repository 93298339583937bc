#include "app/CommandLine.h"
#include "app/VentrelApp.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    if (argc > 1) {
        // The command line acts without a GUI application object, so it is fast.
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        std::unique_ptr<WindowSystem> windowSystem;
        QTextStream out(stdout);
        QTextStream err(stderr);
        CommandLine commandLine(
            [&]() -> WindowSystem& {
                if (!windowSystem)
                    windowSystem = WindowSystem::create();
                return *windowSystem;
            },
            [] { return DefaultsDatabase::standard(); }, out, err);
        return commandLine.run(arguments);
    }

    return VentrelApp::run(argc, argv);
}
