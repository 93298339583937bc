#include "views/SymbolIcon.h"

#include "model/SnapPosition.h"

#include <QImage>
#include <QTest>

class TestSymbolIcon : public QObject {
    Q_OBJECT

    // The colours of the icon's pixels when drawn side × side, each counted.
    static QHash<QRgb, int> inks(const QIcon& icon, int side)
    {
        const QImage image = icon.pixmap(QSize(side, side), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        QHash<QRgb, int> counts;
        for (int i = 0; i < side * side; ++i)
            ++counts[image.pixel(i % side, i / side)];
        return counts;
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
                                 "gear", "rectangle.expand.vertical"})
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
        // Neither blank nor a filled square, and sharp at double density.
        const QIcon icon = SymbolIcon::icon(name);
        const int painted = 64 * 64 - inks(icon, 64).value(qRgba(0, 0, 0, 0));
        QVERIFY2(painted > 128 && painted < 64 * 64 * 3 / 4, qPrintable(QString::number(painted)));
        QCOMPARE(icon.pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
        if (!inside.isNull()) {
            const QImage image = icon.pixmap(64, 64).toImage();
            QCOMPARE(qAlpha(image.pixel(inside)), 255);
            QCOMPARE(qAlpha(image.pixel(outside)), 0);
        }
    }

    // The status item icon carries a dark theme's light text colour outlined in
    // its window colour, so one of them stands out from any panel. (The symbols
    // taking a dark palette's text colour is measured in tst_rowcontrast.)
    void trayIconStandsOutOnAnyPanel()
    {
        QPalette dark(QColor(0x202020), QColor(0x202020));
        dark.setColor(QPalette::WindowText, QColor(0xeeeeee));
        const QHash<QRgb, int> tray = inks(SymbolIcon::trayIcon(dark), 22);
        QVERIFY(tray.contains(QColor(0xeeeeee).rgba()) && tray.contains(QColor(0x202020).rgba()));
    }
};

QTEST_MAIN(TestSymbolIcon)
#include "tst_symbolicon.moc"
