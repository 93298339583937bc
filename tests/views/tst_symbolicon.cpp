#include "views/SymbolIcon.h"

#include "model/SnapPosition.h"

#include <QImage>
#include <QTest>

class TestSymbolIcon : public QObject {
    Q_OBJECT

    // Draws the icon side × side, collecting the colours of the fully opaque
    // pixels and counting the painted ones.
    static QImage paint(const QIcon& icon, int side, QSet<QRgb>& inks, int* painted = nullptr)
    {
        const QImage image = icon.pixmap(QSize(side, side), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int i = 0; i < side * side; ++i) {
            const QRgb pixel = image.pixel(i % side, i / side);
            if (painted && qAlpha(pixel) > 0)
                ++*painted;
            if (qAlpha(pixel) == 255)
                inks.insert(pixel);
        }
        return image;
    }

private slots:
    // For a snap position, the point "inside" its filled part is where that
    // position puts the window, "outside" is not; top and bottom catch a flipped y axis.
    void namedSymbolsAreDrawn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");
        for (const char* name : {"eye.fill", "eye.slash", "trash", "plus", "xmark.circle.fill", "line.3.horizontal",
                                 "gear", "rectangle.expand.vertical", "rectangle.lefthalf.filled"})
            QTest::newRow(name) << QString(name) << QPoint() << QPoint();
        const QList<QPair<QPoint, QPoint>> spot{{{20, 32}, {44, 32}}, {{44, 32}, {20, 32}}, {{20, 32}, {32, 32}},
                                                {{32, 32}, {20, 32}}, {{44, 32}, {32, 32}}, {{32, 26}, {32, 38}},
                                                {{32, 38}, {32, 26}}};
        for (SnapPosition p : SnapPosition::allCases())
            QTest::newRow(qPrintable(p.rawValue())) << p.iconName() << spot[p.value()].first << spot[p.value()].second;
    }

    void namedSymbolsAreDrawn()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        QVERIFY(SymbolIcon::icon(name.toUpper()).isNull()); // an unknown name gives no icon at all
        // Neither blank nor a filled square, and sharp at double density.
        QSet<QRgb> inks;
        int painted = 0;
        const QImage image = paint(SymbolIcon::icon(name), 64, inks, &painted);
        QVERIFY2(painted > 128 && painted < 64 * 64 * 3 / 4, qPrintable(QString::number(painted)));
        QCOMPARE(SymbolIcon::icon(name).pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
        if (!inside.isNull()) {
            QCOMPARE(qAlpha(image.pixel(inside)), 255);
            QCOMPARE(qAlpha(image.pixel(outside)), 0);
        }
    }

    // In a dark theme the symbols take its light text colour; the status item
    // icon carries both colours, so one of them stands out from any panel.
    void tintFollowsThePalette()
    {
        QPalette dark(QColor(0x202020), QColor(0x202020));
        dark.setColor(QPalette::WindowText, QColor(0xeeeeee));
        QSet<QRgb> gear, tray;
        paint(SymbolIcon::icon("gear", dark), 64, gear);
        QCOMPARE(gear, QSet<QRgb>{QColor(0xeeeeee).rgba()});
        paint(SymbolIcon::trayIcon(dark), 22, tray);
        QVERIFY(tray.contains(QColor(0xeeeeee).rgba()) && tray.contains(QColor(0x202020).rgba()));
    }
};

QTEST_MAIN(TestSymbolIcon)
#include "tst_symbolicon.moc"
