#include "model/SnapPosition.h"

#include <QTest>

class TestSnapPosition : public QObject {
    Q_OBJECT

private slots:
    void namesInDeclarationOrder()
    {
        const QStringList raw{"leftHalf", "rightHalf", "leftThird", "centerThird", "rightThird", "topHalf", "bottomHalf"};
        const QStringList display{"Left Half", "Right Half", "Left Third", "Center Third",
                                  "Right Third", "Top Half", "Bottom Half"};
        const QStringList icons{"rectangle.lefthalf.filled",
                                "rectangle.righthalf.filled",
                                "rectangle.leftthird.inset.filled",
                                "inset.filled.leftthird.middlethird.rightthird.rectangle",
                                "rectangle.rightthird.inset.filled",
                                "rectangle.tophalf.filled",
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
    }

    void rawValueMatchesExactly()
    {
        QCOMPARE(SnapPosition::fromRawValue(u"centerThird"), std::optional<SnapPosition>(SnapPosition::centerThird));
        for (const char* bad : {"CenterThird", "centerthird", "", " centerThird", "centerThird ", "Left Half"})
            QVERIFY2(!SnapPosition::fromRawValue(QString::fromLatin1(bad)).has_value(), bad);
    }

    void frames_data()
    {
        QTest::addColumn<QRectF>("in");
        QTest::addColumn<int>("position");
        QTest::addColumn<QRectF>("expected");
        const QRectF screen(0, 25, 1440, 875);
        QTest::newRow("leftHalf") << screen << int(SnapPosition::leftHalf) << QRectF(0, 25, 720, 875);
        QTest::newRow("rightHalf") << screen << int(SnapPosition::rightHalf) << QRectF(720, 25, 720, 875);
        QTest::newRow("leftThird") << screen << int(SnapPosition::leftThird) << QRectF(0, 25, 480, 875);
        QTest::newRow("centerThird") << screen << int(SnapPosition::centerThird) << QRectF(480, 25, 480, 875);
        QTest::newRow("rightThird") << screen << int(SnapPosition::rightThird) << QRectF(960, 25, 480, 875);
        QTest::newRow("topHalf") << screen << int(SnapPosition::topHalf) << QRectF(0, 462.5, 1440, 437.5);
        QTest::newRow("bottomHalf") << screen << int(SnapPosition::bottomHalf) << QRectF(0, 25, 1440, 437.5);
        const QRectF offset(-1000, 100, 1000, 600);
        QTest::newRow("offset rightHalf") << offset << int(SnapPosition::rightHalf) << QRectF(-500, 100, 500, 600);
        QTest::newRow("offset topHalf") << offset << int(SnapPosition::topHalf) << QRectF(-1000, 400, 1000, 300);
    }

    void frames()
    {
        QFETCH(QRectF, in);
        QFETCH(int, position);
        QFETCH(QRectF, expected);
        QCOMPARE(SnapPosition(SnapPosition::Case(position)).frame(in), expected);
    }

    void thirdsAreNotRounded()
    {
        const QRectF in(0, 0, 1000, 500);
        const QRectF right = SnapPosition(SnapPosition::rightThird).frame(in);
        QCOMPARE(right.x(), 2000.0 / 3);
        QCOMPARE(right.width(), 1000.0 / 3);
        QCOMPARE(SnapPosition(SnapPosition::centerThird).frame(in).x(), 1000.0 / 3);
    }
};

QTEST_GUILESS_MAIN(TestSnapPosition)
#include "tst_snapposition.moc"
