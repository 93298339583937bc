#pragma once

#include "window/WindowManager.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

// Times `runs` snaps through an open window system and prints the median,
// fastest and 90th percentile in microseconds, then the median connect time
// already measured; alternating halves makes every snap a real move.
inline int timeSnaps(const char* program, WindowSystem& system, int runs, bool alternate, std::vector<double> connects)
{
    WindowManager manager(system);
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const SnapPosition position = alternate && i % 2 ? SnapPosition::rightHalf : SnapPosition::leftHalf;
        const auto start = std::chrono::steady_clock::now();
        const auto result = manager.snapFocusedWindow(position);
        const auto end = std::chrono::steady_clock::now();
        if (!result) {
            std::fprintf(stderr, "%s: snap failed on run %d\n", program, i);
            return 1;
        }
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::ranges::sort(micros);
    std::ranges::sort(connects);
    std::printf("%.1f %.1f %.1f %.1f\n", micros[micros.size() / 2], micros.front(), micros[micros.size() * 9 / 10],
                connects[connects.size() / 2]);
    return 0;
}
