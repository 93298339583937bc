// In-process cost of one snap through KWin's script, with the script kept
// loaded (the tray app) and with a load, run and unload around every action.
// Needs a KWin session with a focused window: run through bench/kwin-snap.sh.
#include "platform/kwin/KWinWindowSystem.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// One menu action: the focused window, the screens, and a snap to the left or
// right half of the main screen's work area.
bool snap(KWinWindowSystem& system, bool left)
{
    auto window = system.focusedWindow();
    const WindowSystem::Screens screens = system.screens();
    if (!window || !screens.main)
        return false;
    QRectF area = screens.all.at(*screens.main).workArea;
    area.setWidth(area.width() / 2);
    if (!left)
        area.moveLeft(area.width());
    return (*window)->setFrame(area).has_value();
}

void report(const char* what, std::vector<double>& ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %.3f ms  p90 %.3f ms  min %.3f ms  (%zu runs)\n", what, ms[ms.size() / 2],
                ms[ms.size() * 9 / 10], ms.front(), ms.size());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    auto system = KWinWindowSystem::connect();
    if (!system || !system->prepare()) {
        std::fputs("kwin_snap_inprocess: KWin is not reachable\n", stderr);
        return 1;
    }
    const int runs = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;
    std::vector<double> look, kept, fresh;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        if (!system->focusedWindow())
            return 1;
        look.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    for (int i = 0; i < runs; ++i) {
        timer.start();
        if (!snap(*system, i % 2 == 0))
            return 1;
        kept.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    for (int i = 0; i < runs / 4; ++i) {
        timer.start();
        system->unload();
        if (!snap(*system, i % 2 == 0))
            return 1;
        system->unload();
        fresh.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    report("focused window, script kept", look);
    report("snap, script kept loaded", kept);
    report("snap, load + run + unload", fresh);
    return 0;
}
