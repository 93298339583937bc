// In-process cost of one snap on X11: the X round trips of one
// snapFocusedWindow, with the connection already open. Run on a desktop with
// an active window (bench/x11-snap.sh does it).
#include "platform/x11/X11WindowSystem.h"
#include "window/WindowManager.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    std::unique_ptr<X11WindowSystem> system = X11WindowSystem::connect();
    if (!system) {
        std::fputs("bench_x11_snap: no X display\n", stderr);
        return 1;
    }
    WindowManager manager(*system);
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        // Alternate targets so the window manager never sees a repeated request.
        const SnapPosition position = i % 2 ? SnapPosition::rightHalf : SnapPosition::leftHalf;
        const auto start = std::chrono::steady_clock::now();
        const auto result = manager.snapFocusedWindow(position);
        const auto end = std::chrono::steady_clock::now();
        if (!result) {
            std::fprintf(stderr, "bench_x11_snap: snap failed on run %d\n", i);
            return 1;
        }
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::ranges::sort(micros);
    std::printf("%.1f %.1f %.1f\n", micros[micros.size() / 2], micros.front(), micros[micros.size() * 9 / 10]);
    return 0;
}
