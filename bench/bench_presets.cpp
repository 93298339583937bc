// Times the preset store over a real settings file with many custom presets.
// Prints one line per operation and size; the figures are for reading, not
// for asserting.

#include "model/WindowPreset.h"
#include "stores/PresetManager.h"
#include "stores/SettingsDefaultsDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Median of several runs, in milliseconds: one slow run (a page fault, another
// process on the machine) should not decide the figure.
double medianMs(int runs, const std::function<void()>& operation)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        operation();
        times.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

QByteArray customPresets(int count)
{
    QJsonArray array;
    for (int i = 0; i < count; ++i) {
        const WindowPreset p{QUuid::createUuid(), QStringLiteral("Preset %1").arg(i), 400 + i % 5000, 300 + i % 3000,
                             false, 700000000.0 + i, i % 7 != 0, 5 + (i * 7919) % count};
        array.append(p.toJson());
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

void run(int count, int runs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Ventrel/Ventrel.conf"));
    auto db = std::make_shared<SettingsDefaultsDatabase>(path);
    db->setData(SettingsKeys::customPresets, customPresets(count));

    const double load = medianMs(runs, [&] { PresetManager store(db); });
    PresetManager store(db);
    const double visible = medianMs(runs * 5, [&] { (void)store.visiblePresets(); });
    int added = 0;
    const double add = medianMs(runs, [&] {
        if (!store.addPreset(QStringLiteral("Added %1").arg(added++), 1000, 700))
            std::fprintf(stderr, "addPreset was refused\n");
    });
    const QUuid id = store.presets().at(7).id;
    const double toggle = medianMs(runs, [&] { store.togglePresetVisibility(id); });

    std::printf("%8d presets  file %6.1f MB  load %8.2f ms  visiblePresets %7.2f ms  addPreset %8.2f ms  "
                "togglePresetVisibility %8.2f ms\n",
                count, double(QFileInfo(path).size()) / 1e6, load, visible, add, toggle);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("Preset store over a real settings file (median of several runs)\n");
    run(1000, 9);
    run(10000, 9);
    run(100000, 3);
    return 0;
}
