#include "ViewTestSupport.h"

#include "views/PresetListModel.h"
#include "views/PresetListView.h"
#include "views/PresetRowView.h"
#include "views/PresetsPane.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

// A real mouse drag on a real X server: the press lands on a row widget, must
// reach the list, start a drag and end in a drop that reorders the store.
class TestPresetDrag : public QObject {
    Q_OBJECT

private slots:
    void dragLastRowToTheTop()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (run under xvfb-run)");
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xdotool.isEmpty())
            QSKIP("needs xdotool");

        TemporaryStores stores;
        PresetsPane pane(stores.presets);
        pane.resize(440, 400);
        pane.move(0, 0);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));

        // From the name of the last row to the top edge of the first one.
        auto* list = pane.listView();
        const QWidget* name = pane.rowView(4)->findChild<QWidget*>(QStringLiteral("nameLabel"));
        const QPoint from = name->mapToGlobal(name->rect().center());
        const QPoint to = list->viewport()->mapToGlobal(list->visualRect(pane.listModel()->index(0)).topLeft()) +
                          QPoint(60, 3);
        QStringList script{QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y()),
                           QStringLiteral("mousedown"), QStringLiteral("1")};
        for (int step = 1; step <= 8; ++step) {
            const QPoint p = from + (to - from) * step / 8;
            script << QStringLiteral("sleep") << QStringLiteral("0.05") << QStringLiteral("mousemove")
                   << QString::number(p.x()) << QString::number(p.y());
        }
        script << QStringLiteral("sleep") << QStringLiteral("0.2") << QStringLiteral("mouseup") << QStringLiteral("1");
        QProcess mouse;
        mouse.start(xdotool, script);
        QVERIFY(mouse.waitForStarted());

        QTRY_COMPARE_WITH_TIMEOUT(PresetsPane::sortedPresets(stores.presets.presets()).first().name,
                                  QStringLiteral("Compact"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(mouse.state(), QProcess::NotRunning, 10000);
        QCOMPARE(mouse.exitCode(), 0);
        settle();
        QCOMPARE(pane.rowView(0)->preset().name, QStringLiteral("Compact"));
        for (int row = 0; row < 5; ++row)
            QCOMPARE(pane.rowView(row)->preset().sortOrder, qint64(row));
    }
};

QTEST_MAIN(TestPresetDrag)
#include "tst_presetdrag.moc"
