// In-process cost of one snap on sway or i3: the IPC round trips of one
// snapFocusedWindow with the socket already open. Run beside a compositor
// with a focused window (bench/tiling-snap.sh does it).
//
//   tiling_snap_inprocess RUNS same        the same target every time
//   tiling_snap_inprocess RUNS alternate   left and right half in turn
#include "platform/i3/I3WindowSystem.h"
#include "platform/sway/SwayWindowSystem.h"
#include "SnapTimer.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

static std::unique_ptr<WindowSystem> connectBackend()
{
    if (qEnvironmentVariableIsSet("SWAYSOCK"))
        return SwayWindowSystem::connect(qEnvironmentVariable("SWAYSOCK"));
    return I3WindowSystem::connect(qEnvironmentVariable("I3SOCK"));
}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const bool alternate = argc > 2 && std::strcmp(argv[2], "alternate") == 0;
    std::vector<double> connects;
    for (int i = 0; i < 50; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::unique_ptr<WindowSystem> probe = connectBackend();
        connects.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    const std::unique_ptr<WindowSystem> system = connectBackend();
    if (!system) {
        std::fputs("tiling_snap_inprocess: neither SWAYSOCK nor I3SOCK answers\n", stderr);
        return 1;
    }
    return timeSnaps("tiling_snap_inprocess", *system, runs, alternate, connects);
}
