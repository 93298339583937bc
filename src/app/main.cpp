#include <cstdio>
#include <cstring>

namespace {

constexpr const char* usage =
    "Usage: ventrel [--help | --version]\n"
    "\n"
    "Ventrel resizes and moves the focused window to preset sizes and screen halves or thirds.\n"
    "\n"
    "Options:\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("ventrel %s (%s)\n", VENTREL_VERSION, VENTREL_BUILD_NUMBER);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usage, stdout);
        return 0;
    }
    std::fputs(usage, stderr);
    return 2;
}
