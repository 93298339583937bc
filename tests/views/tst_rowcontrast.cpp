#include "ViewTestSupport.h"

#include "views/PresetListView.h"
#include "views/PresetRowView.h"
#include "views/PresetsPane.h"
#include "views/SnapPositionRowView.h"
#include "views/SnapPositionsPane.h"
#include "views/ViewStyle.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QStyle>
#include <QStyleFactory>
#include <QToolButton>

// What the rows of hidden items read at, measured from their pixels over the
// list, for a light and a dark palette: text at 4.5:1, symbols at 3:1, and the
// hidden row still dimmer than a shown one.
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
    void hiddenRows_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << std::unique_ptr<QStyle>(QStyleFactory::create("Fusion"))->standardPalette();
        // Derived from a dark button colour: black lists, white text and an
        // accent too dark for a focus ring.
        QTest::newRow("dark") << QPalette(QColor(0x32, 0x32, 0x32));
    }

    void hiddenRows()
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
        QVERIFY(shown->preset().isVisible && !hidden->preset().isVisible);
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
        QVERIFY(!position->isPositionVisible());
        QCOMPARE_GE(contrastOf(position->findChild<QLabel*>("titleLabel"), positions.listWidget()), 4.5);
        QCOMPARE_GE(contrastOf(position->iconLabel(), positions.listWidget()), 3.0);
        QCOMPARE_GE(contrastOf(position->visibilityButton(), positions.listWidget()), 3.0);

        // The focus ring's colour, against both backgrounds it is drawn on.
        const QColor ring = ViewStyle::focusRing(palette);
        QCOMPARE_GE(ViewStyle::contrast(ring, palette.color(QPalette::Base)), 3.0);
        QCOMPARE_GE(ViewStyle::contrast(ring, palette.color(QPalette::Window)), 3.0);
    }
};

QTEST_MAIN(TestRowContrast)
#include "tst_rowcontrast.moc"
