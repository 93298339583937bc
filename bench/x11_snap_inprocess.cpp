// In-process cost of one snap on X11: the X round trips of one
// snapFocusedWindow, with the connection already open. Run on a desktop with
// an active window (bench/x11-snap.sh does it).
//
//   x11_snap_inprocess RUNS same        the same target every time: the
//                                       window stays put, so this is mostly
//                                       our own X traffic
//   x11_snap_inprocess RUNS alternate   left and right half in turn: the
//                                       server also moves and redraws it
#include "platform/x11/X11WindowSystem.h"
#include "SnapTimer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const bool alternate = argc > 2 && std::strcmp(argv[2], "alternate") == 0;
    // Opening the connection (authorization, atoms) is paid once per process.
    std::vector<double> connects;
    for (int i = 0; i < 50; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::unique_ptr<X11WindowSystem> probe = X11WindowSystem::connect();
        connects.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::unique_ptr<X11WindowSystem> system = X11WindowSystem::connect();
    if (!system) {
        std::fputs("x11_snap_inprocess: no X display\n", stderr);
        return 1;
    }
    return timeSnaps("x11_snap_inprocess", *system, runs, alternate, connects);
}
