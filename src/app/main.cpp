#include "app/CommandLine.h"
#include "app/Doctor.h"
#include "platform/WindowSystemFactory.h"

#include <QCoreApplication>

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <memory>

#ifdef VENTREL_LINKED_TRAY_APP
#include "app/VentrelApp.h"
#else
#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <system_error>
#endif

namespace {

// The tray app lives in a library of its own, loaded only here, so the
// commands never pay for loading the widget toolkit.
int runTrayApp(int argc, char** argv)
{
#ifdef VENTREL_LINKED_TRAY_APP
    return ventrel_tray_main(argc, argv);
#else
    // Looked up beside the binary by absolute path: a relative name would go
    // through the search path of whoever calls dlopen, which under a
    // sanitizer is its runtime, not this binary.
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string path =
        error ? std::string("libventrel_gui.so") : (self.parent_path() / "libventrel_gui.so").string();
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
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
        // The command line acts without a GUI application object, so it is
        // fast; the core one lets backends that talk over D-Bus be answered.
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
    return runTrayApp(argc, argv);
}
