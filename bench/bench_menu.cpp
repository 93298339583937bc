// Times a rebuild of the tray menu with 10 and 1,000 visible presets, and one
// drag of 1,000 presets in the Settings window as far as the tray menu is
// concerned: the reorder and every menu rebuild it sets off.
#include "app/AppDelegate.h"
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

    // The shared store, as the running app has it, wired to the menu by the
    // delegate; the presets are added before the wiring so that only the drag
    // is timed.
    QDir(config.path()).removeRecursively();
    QDir().mkpath(config.path());
    PresetManager& shared = PresetManager::shared();
    for (int i = 5; i < 1000; ++i)
        (void)shared.addPreset(QStringLiteral("Preset %1").arg(i), 100 + i, 100 + i);
    AppDelegate delegate(windows);
    delegate.applicationDidFinishLaunching();
    QCoreApplication::sendPostedEvents();
    std::vector<double> samples;
    for (int run = 0; run < 5; ++run) {
        QList<QUuid> ids;
        for (const WindowPreset& p : shared.presets())
            ids.prepend(p.id);
        QElapsedTimer timer;
        timer.start();
        shared.reorderPresets(ids);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        samples.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("drag of 1000 presets, reorder and menu rebuilds: median %.1f ms over %zu runs\n", medianMs(samples),
                samples.size());
    return 0;
}
