#include "ViewTestSupport.h"

#include "views/SnapPositionRowView.h"
#include "views/SnapPositionsPane.h"

#include <QLabel>
#include <QToolButton>

class TestSnapPositionsPane : public QObject {
    Q_OBJECT

    static void verifyRow(const SnapPositionsPane& pane, int index, bool visible)
    {
        const SnapPositionRowView* row = pane.rowView(index);
        QVERIFY(row);
        QCOMPARE(row->position(), SnapPosition::allCases()[index]);
        QCOMPARE(opacityOf(row), visible ? 1.0 : 0.5);
        QCOMPARE(symbolOf(row->visibilityButton()), visible ? QStringLiteral("eye.fill") : QStringLiteral("eye.slash"));
        QCOMPARE(row->visibilityButton()->toolTip(), visible ? QStringLiteral("Hide from menu") : QStringLiteral("Show in menu"));
    }

    static void clickEye(SnapPositionsPane& pane, int index)
    {
        QTest::mouseClick(pane.rowView(index)->visibilityButton(), Qt::LeftButton);
        settle();
    }

private slots:
    void listsAllPositionsInOrder()
    {
        TemporaryStores stores;
        SnapPositionsPane pane(stores.snapPositions);
        QCOMPARE(pane.rowCount(), 7);
        const QStringList titles{"Left Half",   "Right Half", "Left Third", "Center Third",
                                 "Right Third", "Top Half",   "Bottom Half"};
        for (int i = 0; i < 7; ++i) {
            verifyRow(pane, i, true);
            SnapPositionRowView* row = pane.rowView(i);
            QCOMPARE(row->findChild<QLabel*>(QStringLiteral("titleLabel"))->text(), titles[i]);
            QVERIFY(row->iconLabel());
            QCOMPARE(row->iconLabel()->accessibleName(), titles[i]);
            QVERIFY(!row->iconLabel()->pixmap().isNull());
        }
    }

    void eyeButtonHidesAndShowsOnePosition()
    {
        TemporaryStores stores;
        SnapPositionsPane pane(stores.snapPositions);
        pane.show();
        clickEye(pane, 3);
        QVERIFY(!stores.snapPositions.visiblePositions().contains(SnapPosition::centerThird));
        QCOMPARE(stores.snapPositions.visiblePositions().size(), 6);
        for (int i = 0; i < 7; ++i)
            verifyRow(pane, i, i != 3);

        clickEye(pane, 3);
        QVERIFY(stores.snapPositions.visiblePositions().contains(SnapPosition::centerThird));
        verifyRow(pane, 3, true);
    }

    void everyPositionCanBeHiddenAndShownAgain()
    {
        TemporaryStores stores;
        SnapPositionsPane pane(stores.snapPositions);
        pane.show();
        for (int i = 0; i < 7; ++i)
            clickEye(pane, i);
        QVERIFY(stores.snapPositions.visiblePositions().isEmpty());
        QCOMPARE(pane.rowCount(), 7);
        for (int i = 0; i < 7; ++i)
            verifyRow(pane, i, false);

        for (int i = 6; i >= 0; --i)
            clickEye(pane, i);
        QCOMPARE(stores.snapPositions.visiblePositions().size(), 7);
        for (int i = 0; i < 7; ++i)
            verifyRow(pane, i, true);
    }

    void followsChangesMadeElsewhere()
    {
        TemporaryStores stores;
        SnapPositionsPane pane(stores.snapPositions);
        stores.snapPositions.togglePositionVisibility(SnapPosition::topHalf);
        stores.snapPositions.togglePositionVisibility(SnapPosition::leftHalf);
        settle();
        verifyRow(pane, 0, false);
        verifyRow(pane, 5, false);

        stores.snapPositions.resetToDefaults();
        settle();
        for (int i = 0; i < 7; ++i)
            verifyRow(pane, i, true);
    }
};

QTEST_MAIN(TestSnapPositionsPane)
#include "tst_snappositionspane.moc"
