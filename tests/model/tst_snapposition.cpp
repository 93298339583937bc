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
        const QRectF s(0, 25, 1440, 875), offset(-1000, 100, 1000, 600), odd(0, 0, 1000, 500); // odd: thirds stay fractions
        QTest::newRow("leftHalf") << s << int(SnapPosition::leftHalf) << QRectF(0, 25, 720, 875);
        QTest::newRow("rightHalf") << s << int(SnapPosition::rightHalf) << QRectF(720, 25, 720, 875);
        QTest::newRow("leftThird") << s << int(SnapPosition::leftThird) << QRectF(0, 25, 480, 875);
        QTest::newRow("centerThird") << s << int(SnapPosition::centerThird) << QRectF(480, 25, 480, 875);
        QTest::newRow("rightThird") << s << int(SnapPosition::rightThird) << QRectF(960, 25, 480, 875);
        QTest::newRow("topHalf") << s << int(SnapPosition::topHalf) << QRectF(0, 462.5, 1440, 437.5);
        QTest::newRow("bottomHalf") << s << int(SnapPosition::bottomHalf) << QRectF(0, 25, 1440, 437.5);
        QTest::newRow("offset rightHalf") << offset << int(SnapPosition::rightHalf) << QRectF(-500, 100, 500, 600);
        QTest::newRow("offset topHalf") << offset << int(SnapPosition::topHalf) << QRectF(-1000, 400, 1000, 300);
        QTest::newRow("unrounded right") << odd << int(SnapPosition::rightThird) << QRectF(2000.0 / 3, 0, 1000.0 / 3, 500);
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
