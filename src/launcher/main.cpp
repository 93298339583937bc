// `ventrel`: starts the tray app, or runs one command. It loads no Qt itself:
// a command goes to the running tray app, which has its window backend open
// already, and only when none answers is the command library loaded here.
#include "launcher/CommandForwarder.h"

#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#ifdef VENTREL_LINKED_TRAY_APP
extern "C" int ventrel_tray_main(int argc, char** argv);
extern "C" int ventrel_command_main(int argc, char** argv);
#else
#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#endif

namespace {

// Looked up by absolute path, relative to the binary (the same relation in
// the build and the installed tree): a bare name would go through the
// search path of whoever calls dlopen, which under a sanitizer is its
// runtime, not this binary.
int runEntry([[maybe_unused]] const char* library, const char* entryName, int argc, char** argv)
{
#ifdef VENTREL_LINKED_TRAY_APP
    return std::string_view(entryName) == "ventrel_tray_main" ? ventrel_tray_main(argc, argv)
                                                               : ventrel_command_main(argc, argv);
#else
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        std::fprintf(stderr, "ventrel: cannot find its libraries: %s\n", error.message().c_str());
        return 1;
    }
    const std::string path = (self.parent_path() / library).lexically_normal().string();
    // Lazily, as the libraries would be bound had they been linked in: a
    // command calls a small part of Qt, and binding all of it costs a millisecond.
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "ventrel: cannot load %s\n", dlerror());
        return 1;
    }
    using Entry = int (*)(int, char**);
    auto entry = reinterpret_cast<Entry>(dlsym(handle, entryName));
    if (!entry) {
        std::fprintf(stderr, "ventrel: %s is incomplete: %s\n", path.c_str(), dlerror());
        return 1;
    }
    return entry(argc, argv);
#endif
}

int runHere(int argc, char** argv)
{
    return runEntry(VENTREL_COMMAND_LIBRARY, "ventrel_command_main", argc, argv);
}

bool writeAll(int descriptor, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written <= 0)
            return false;
        text.remove_prefix(std::size_t(written));
    }
    return true;
}

enum class Route { version, here, forward };

// The command line's own grammar (CommandLine::run), read only as far as
// choosing where it runs: --help wins over --version, which is answered
// here; doctor describes the caller's session, so it runs in the caller.
Route route(const std::vector<std::string>& arguments)
{
    bool help = false, version = false;
    std::string_view command;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view word = arguments[i];
        if (word == "--") {
            if (command.empty() && i + 1 < arguments.size())
                command = arguments[i + 1];
            break;
        }
        if (word == "--help" || word == "-h")
            help = true;
        else if (word == "--version")
            version = true;
        else if (word == "--screen")
            ++i;
        else if (!word.starts_with('-') || word.size() == 1)
            command = command.empty() ? word : command;
    }
    if (help)
        return Route::forward;
    if (version)
        return Route::version;
    return command == "doctor" ? Route::here : Route::forward;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc <= 1)
        return runEntry(VENTREL_TRAY_LIBRARY, "ventrel_tray_main", argc, argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    switch (route(arguments)) {
    case Route::version:
        return writeAll(STDOUT_FILENO, "ventrel " VENTREL_VERSION " (" VENTREL_BUILD_NUMBER ")\n") ? 0 : 1;
    case Route::here:
        return runHere(argc, argv);
    case Route::forward:
        break;
    }
    const std::optional<std::string> socket = CommandForwarder::socketPath();
    if (!socket)
        return runHere(argc, argv);
    const CommandForwarder::Result result = CommandForwarder::forward(*socket, arguments);
    switch (result.outcome) {
    case CommandForwarder::Outcome::answered:
        if (!writeAll(STDOUT_FILENO, result.reply.out) || !writeAll(STDERR_FILENO, result.reply.err))
            return 1;
        return result.reply.status & 0xFF;
    case CommandForwarder::Outcome::notRunning:
    case CommandForwarder::Outcome::refused:
        return runHere(argc, argv);
    case CommandForwarder::Outcome::noAnswer:
        std::fprintf(stderr, "ventrel: the running Ventrel did not answer within %lld ms; acting without it\n",
                     static_cast<long long>(CommandProtocol::takenTimeout.count()));
        return runHere(argc, argv);
    case CommandForwarder::Outcome::stopped:
        std::fputs("ventrel: the running Ventrel stopped before finishing the command; acting without it\n", stderr);
        return runHere(argc, argv);
    case CommandForwarder::Outcome::unfinished:
        std::fprintf(stderr, "ventrel: the running Ventrel took the command but did not finish it within %lld s\n",
                     static_cast<long long>(CommandProtocol::resultTimeout.count() / 1000));
        return 1;
    }
    return 1;
}
