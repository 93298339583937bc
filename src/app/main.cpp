#include "app/CommandLine.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <memory>

#ifdef VENTREL_LINKED_TRAY_APP
#include "app/VentrelApp.h"
#else
#include <dlfcn.h>
#endif

namespace {

// The tray app lives in a library of its own, loaded only here, so the
// commands never pay for loading the widget toolkit.
int runTrayApp(int argc, char** argv)
{
#ifdef VENTREL_LINKED_TRAY_APP
    return ventrel_tray_main(argc, argv);
#else
    void* library = dlopen("libventrel_gui.so", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "ventrel: cannot load the tray app: %s\n", dlerror());
        return 1;
    }
    using Entry = int (*)(int, char**);
    auto entry = reinterpret_cast<Entry>(dlsym(library, "ventrel_tray_main"));
    if (!entry) {
        std::fprintf(stderr, "ventrel: the tray app library is incomplete: %s\n", dlerror());
        return 1;
    }
    return entry(argc, argv);
#endif
}

} // namespace

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
    return runTrayApp(argc, argv);
}
