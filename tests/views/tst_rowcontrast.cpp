#include "ViewTestSupport.h"

#include "views/PresetListView.h"
#include "views/PresetRowView.h"
#include "views/PresetsPane.h"
#include "views/ShortcutField.h"
#include "views/SnapPositionRowView.h"
#include "views/SnapPositionsPane.h"
#include "views/SymbolIcon.h"
#include "views/ViewStyle.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QStyle>
#include <QStyleFactory>
#include <QToolButton>

// Measured from pixels, in a light and a dark palette: the rows of hidden
// items read at 4.5:1 (text) and 3:1 (symbols) and still look dimmer than
// shown ones, keyboard focus shows at 3:1, and the tray icon stands out.
class TestRowContrast : public QObject {
    Q_OBJECT

    // The strongest contrast any pixel of part has against the background at
    // the right end of its row (selected or not).
    static double contrastOf(QWidget* part, QAbstractItemView* list)
    {
        const QImage shot = list->viewport()->grab().toImage();
        const QRect box(part->mapTo(list->viewport(), QPoint(0, 0)), part->size());
        const QColor base = shot.pixelColor(list->viewport()->width() - 12, box.center().y());
        double best = 1.0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                best = std::max(best, ViewStyle::contrast(shot.pixelColor(x, y), base));
        return best;
    }

private slots:
    void rows_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << std::unique_ptr<QStyle>(QStyleFactory::create("Fusion"))->standardPalette();
        // Derived from a dark button colour: black lists and white text; with
        // an accent too dark for a focus ring, so the ring falls back to the text.
        QPalette dark(QColor(0x32, 0x32, 0x32));
        dark.setColor(QPalette::Highlight, QColor(0x1c, 0x2c, 0x50));
        QTest::newRow("dark") << dark;
    }

    void rows()
    {
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
        TemporaryStores stores;
        stores.presets.togglePresetVisibility(WindowPreset::defaultPresets().at(1).id);
        stores.snapPositions.togglePositionVisibility(SnapPosition::leftHalf);
        PresetsPane presets(stores.presets);
        SnapPositionsPane positions(stores.snapPositions);
        for (QWidget* pane : {static_cast<QWidget*>(&presets), static_cast<QWidget*>(&positions)}) {
            pane->resize(440, 400);
            pane->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(&presets) && QTest::qWaitForWindowExposed(&positions));

        PresetRowView* shown = presets.rowView(0);
        PresetRowView* hidden = presets.rowView(1);
        PresetListView* list = presets.listView();
        list->setCurrentIndex(list->model()->index(1, 0)); // on the tinted selection
        const auto label = [](QWidget* row, const char* name) { return row->findChild<QLabel*>(name); };
        const double hiddenName = contrastOf(label(hidden, "nameLabel"), list);
        QCOMPARE_GE(hiddenName, 4.5);
        QCOMPARE_GE(contrastOf(label(hidden, "dimensionsLabel"), list), 4.5);
        QCOMPARE_GE(contrastOf(hidden->visibilityButton(), list), 3.0);
        QCOMPARE_GE(contrastOf(label(hidden, "dragHandle"), list), 3.0);
        QCOMPARE_LT(hiddenName, contrastOf(label(shown, "nameLabel"), list) * 0.8);

        SnapPositionRowView* position = positions.rowView(0);
        QCOMPARE_GE(contrastOf(position->findChild<QLabel*>("titleLabel"), positions.listWidget()), 4.5);
        QCOMPARE_GE(contrastOf(position->iconLabel(), positions.listWidget()), 3.0);
        QCOMPARE_GE(contrastOf(position->visibilityButton(), positions.listWidget()), 3.0);

        // Every kind of focus stop, the shortcut field's own ring included, changes
        // pixels within itself to a colour at 3:1 or more against what was there
        // before it took the focus and against the background around it.
        QApplication::setActiveWindow(&presets);
        QVERIFY(QTest::qWaitForWindowActive(&presets));
        for (QWidget* stop : {static_cast<QWidget*>(list), presets.findChild<QWidget*>("addPresetButton"),
                              static_cast<QWidget*>(shown->visibilityButton()),
                              static_cast<QWidget*>(shown->shortcutField())}) {
            presets.setFocus();
            const QImage before = presets.grab().toImage();
            stop->setFocus(Qt::TabFocusReason);
            QVERIFY(stop->hasFocus());
            const QImage after = presets.grab().toImage();
            const QRect box(stop->mapTo(&presets, QPoint(0, 0)), stop->size());
            const QColor around = before.pixelColor(box.topLeft()); // outside the rounded corner
            double strongest = 1.0;
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x)
                    strongest = std::max(strongest, std::min(ViewStyle::contrast(after.pixelColor(x, y), around),
                                                             ViewStyle::contrast(after.pixelColor(x, y),
                                                                                 before.pixelColor(x, y))));
            QVERIFY2(strongest >= 3.0, qPrintable(stop->objectName() + QString(": %1").arg(strongest)));
        }
    }
    // The status item icon carries a dark theme's light text colour outlined in
    // its window colour, so one of them stands out from any panel.
    void trayIconStandsOutOnAnyPanel()
    {
        QPalette dark(QColor(0x202020), QColor(0x202020));
        dark.setColor(QPalette::WindowText, QColor(0xeeeeee));
        const QImage image = SymbolIcon::trayIcon(dark).pixmap(QSize(22, 22), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        QSet<QRgb> inks;
        for (int i = 0; i < 22 * 22; ++i)
            inks.insert(image.pixel(i % 22, i / 22));
        QVERIFY(inks.contains(QColor(0xeeeeee).rgba()) && inks.contains(QColor(0x202020).rgba()));
    }
};

QTEST_MAIN(TestRowContrast)
#include "tst_rowcontrast.moc"
