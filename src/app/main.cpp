#include "app/CommandLine.h"

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

    // ---- No arguments: the tray app starts here. ----
    // Until it exists, show what the command line offers.
    QTextStream(stdout) << CommandLine::usage();
    return 0;
}
