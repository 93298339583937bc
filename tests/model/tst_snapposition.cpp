#include "model/SnapPosition.h"

#include <QTest>

class TestSnapPosition : public QObject {
    Q_OBJECT

private slots:
    void frames_data()
    {
        QTest::addColumn<QRectF>("in");
        QTest::addColumn<int>("position");
        QTest::addColumn<QRectF>("expected");
        // The halves on a plain work area are the window manager's table; here, origins and fractions.
        const QRectF offset(-1000, 100, 1000, 600), odd(0, 0, 1000, 500); // odd: thirds stay fractions
        QTest::newRow("offset rightHalf") << offset << int(SnapPosition::rightHalf) << QRectF(-500, 100, 500, 600);
        QTest::newRow("offset topHalf") << offset << int(SnapPosition::topHalf) << QRectF(-1000, 400, 1000, 300);
        QTest::newRow("leftThird") << odd << int(SnapPosition::leftThird) << QRectF(0, 0, 1000.0 / 3, 500);
        QTest::newRow("centerThird") << odd << int(SnapPosition::centerThird) << QRectF(1000.0 / 3, 0, 1000.0 / 3, 500);
        QTest::newRow("rightThird") << odd << int(SnapPosition::rightThird) << QRectF(2000.0 / 3, 0, 1000.0 / 3, 500);
    }

    void frames()
    {
        QFETCH(QRectF, in);
        QFETCH(int, position);
        QFETCH(QRectF, expected);
        QCOMPARE(SnapPosition(SnapPosition::Case(position)).frame(in), expected);
    }
};

QTEST_GUILESS_MAIN(TestSnapPosition)
#include "tst_snapposition.moc"
