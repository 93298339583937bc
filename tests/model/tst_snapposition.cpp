#include "model/SnapPosition.h"

#include <QTest>

class TestSnapPosition : public QObject {
    Q_OBJECT

private slots:
    void names()
    {
        const QStringList raw{"leftHalf", "rightHalf", "leftThird", "centerThird", "rightThird", "topHalf", "bottomHalf"};
        const QStringList display{"Left Half", "Right Half", "Left Third", "Center Third", "Right Third", "Top Half", "Bottom Half"};
        const QStringList icons{"rectangle.lefthalf.filled", "rectangle.righthalf.filled",
                                "rectangle.leftthird.inset.filled",
                                "inset.filled.leftthird.middlethird.rightthird.rectangle",
                                "rectangle.rightthird.inset.filled", "rectangle.tophalf.filled",
                                "rectangle.bottomhalf.filled"};
        const auto& all = SnapPosition::allCases();
        QCOMPARE(int(all.size()), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(int(all[i].value()), i);
            QCOMPARE(all[i].rawValue(), raw[i]);
            QCOMPARE(all[i].displayName(), display[i]);
            QCOMPARE(all[i].iconName(), icons[i]);
            QCOMPARE(SnapPosition::fromRawValue(raw[i]), std::optional<SnapPosition>(all[i]));
        }
        for (const char* bad : {"CenterThird", "centerthird", "", " centerThird", "centerThird ", "Left Half"})
            QVERIFY2(!SnapPosition::fromRawValue(QString::fromLatin1(bad)).has_value(), bad);
    }

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
