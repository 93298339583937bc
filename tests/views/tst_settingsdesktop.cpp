#include "ViewTestSupport.h"

#include "views/PresetRowView.h"
#include "views/PresetsPane.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>

#include <atomic>
#include <thread>

namespace {

// Counts the pointer events Qt has taken in, a drag's included, from any thread.
struct PointerEvents : QObject {
    std::atomic<int> seen = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        seen += type == QEvent::MouseButtonPress || type == QEvent::MouseMove || type == QEvent::DragMove;
        return false;
    }
};

} // namespace

// The presets list on a real X server, dragged with a real mouse.
class TestSettingsDesktop : public QObject {
    Q_OBJECT

private slots:
    // The press lands on a row widget, must reach the list, start a drag and
    // end in a drop that reorders the store. Each step of the pointer waits
    // until Qt has taken in the one before.
    void dragLastPresetToTheTop()
    {
        const QString xdotool = QStandardPaths::findExecutable("xdotool");
        if (QGuiApplication::platformName() != "xcb" || xdotool.isEmpty())
            QSKIP("needs an X server (run under xvfb-run) and xdotool");
        TemporaryStores stores;
        PresetsPane pane(stores.presets);
        pane.setGeometry(0, 0, 440, 400);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));

        // From the name of the last row to the top edge of the first one, in steps.
        const QPoint from = pane.rowView(4)->findChild<QWidget*>("nameLabel")->mapToGlobal(QPoint(8, 8));
        const QPoint to = pane.rowView(0)->mapToGlobal(QPoint(60, 3));
        auto at = [](QPoint p) { return QStringList{"mousemove", QString::number(p.x()), QString::number(p.y())}; };
        QList<QStringList> steps{at(from), {"mousedown", "1"}};
        for (int step = 1; step <= 8; ++step)
            steps << at(from + (to - from) * step / 8);
        steps << QStringList{"mouseup", "1"};

        PointerEvents events; // the application drops the filter when it is destroyed
        qApp->installEventFilter(&events);
        // The drag runs an event loop of its own inside this thread, so the
        // pointer is driven from another.
        std::thread pointer([&] {
            for (const QStringList& step : steps) {
                const int before = events.seen;
                QProcess::execute(xdotool, step); // a step that fails leaves the order as it was
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                while (events.seen == before && step.first() != "mouseup" && std::chrono::steady_clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
        QTRY_COMPARE_WITH_TIMEOUT(stores.presets.presetsInDisplayOrder().first().name, "Compact", 15000);
        pointer.join();
    }
};

QTEST_MAIN(TestSettingsDesktop)
#include "tst_settingsdesktop.moc"
