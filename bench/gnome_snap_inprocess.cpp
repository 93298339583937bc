// In-process cost of one snap on GNOME Shell, with the bus connection kept
// open as the tray app keeps it: the same round trips as one snap (the
// focused window with the screens, then the move that replies once the
// window has settled). Run in a GNOME session with a focused window
// (bench/gnome-snap.sh starts a headless one).
//
//   gnome_snap_inprocess RUNS   prints, in ms: median, best and 90th
//                               percentile of a snap that moves and resizes
//                               the window (left half, right third), then the
//                               median of reading the focused window alone
#include "platform/gnome/GnomeShellWindowSystem.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    GnomeShellExtension::Status status{};
    const std::unique_ptr<GnomeShellWindowSystem> system = GnomeShellWindowSystem::connect(QDBusConnection::sessionBus(), &status);
    if (!system) {
        std::fprintf(stderr, "gnome_snap_inprocess: %s\n", qPrintable(GnomeShellExtension::explanation(status)));
        return 1;
    }
    std::vector<double> snaps, reads;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        auto window = system->focusedWindow();
        const WindowSystem::Screens screens = system->screens();
        if (!window || !screens.main) {
            std::fprintf(stderr, "gnome_snap_inprocess: no focused window on run %d\n", i);
            return 1;
        }
        // The left half and the right third in turn: a new size each time, so
        // a Wayland client must draw a frame at it before the move is done (a
        // move alone is placed at once).
        const QRectF area = screens.all.at(*screens.main).workArea;
        const QRectF target = i % 2 ? QRectF(area.x() + area.width() * 2 / 3, area.y(), area.width() / 3, area.height())
                                    : QRectF(area.x(), area.y(), area.width() / 2, area.height());
        if (const auto got = (*window)->setFrame(target); !got) {
            std::fprintf(stderr, "gnome_snap_inprocess: snap failed on run %d: %s\n", i,
                         qPrintable(platformErrorText(got.error())));
            return 1;
        }
        snaps.push_back(millisecondsSince(start));
        start = std::chrono::steady_clock::now();
        if (!system->focusedWindow())
            return 1;
        reads.push_back(millisecondsSince(start));
    }
    std::ranges::sort(snaps);
    std::ranges::sort(reads);
    std::printf("%.2f %.2f %.2f %.2f\n", snaps[snaps.size() / 2], snaps.front(), snaps[snaps.size() * 9 / 10],
                reads[reads.size() / 2]);
    return 0;
}
