// Times a rebuild of the tray menu with 10 and 1,000 visible presets.
#include "menubar/MenuBarManager.h"
#include "stores/PresetManager.h"
#include "stores/SnapPositionManager.h"
#include "platform/NullWindowSystem.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double medianMs(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    NullWindowSystem windows;

    for (int visible : {10, 1000}) {
        QDir(config.path()).removeRecursively();
        QDir().mkpath(config.path());
        PresetManager presets(DefaultsDatabase::standard());
        SnapPositionManager positions(DefaultsDatabase::standard());
        for (int i = 5; i < visible; ++i)
            (void)presets.addPreset(QStringLiteral("Preset %1").arg(i), 100 + i, 100 + i);
        MenuBarManager manager(presets, positions, windows);
        std::vector<double> samples;
        for (int run = 0; run < 30; ++run) {
            QElapsedTimer timer;
            timer.start();
            manager.rebuildMenu();
            samples.push_back(double(timer.nsecsElapsed()) / 1e6);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        std::printf("menu rebuild, %4d visible presets: median %.3f ms over %zu runs (%lld items)\n", visible,
                    medianMs(samples), samples.size(), static_cast<long long>(manager.menu()->actions().size()));
    }
    return 0;
}
