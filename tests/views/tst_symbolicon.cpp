#include "views/SymbolIcon.h"

#include "model/SnapPosition.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTest>

class TestSymbolIcon : public QObject {
    Q_OBJECT

    static QImage render(const QIcon& icon, int side = 64)
    {
        return icon.pixmap(QSize(side, side), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    }

    static int alphaAt(const QImage& image, double fx, double fy)
    {
        return qAlpha(image.pixel(int(fx * image.width()), int(fy * image.height())));
    }

    static int paintedPixels(const QImage& image)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        return count;
    }

    // The colour of the most opaque pixel: the symbol's own fill colour.
    static QColor inkOf(const QImage& image)
    {
        QRgb best = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > qAlpha(best))
                    best = image.pixel(x, y);
        return QColor::fromRgba(best);
    }

    static QPalette palette(QColor window, QColor text)
    {
        QPalette p;
        p.setColor(QPalette::Window, window);
        p.setColor(QPalette::WindowText, text);
        return p;
    }

private slots:
    void everyNamedSymbolIsDrawn_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"eye.fill", "eye.slash", "trash", "plus", "xmark.circle.fill", "line.3.horizontal",
                                 "gear", "rectangle.expand.vertical", "rectangle.lefthalf.filled"})
            QTest::newRow(name) << QString::fromLatin1(name);
        for (SnapPosition p : SnapPosition::allCases())
            QTest::newRow(qPrintable(p.rawValue())) << p.iconName();
    }

    void everyNamedSymbolIsDrawn()
    {
        QFETCH(QString, name);
        QVERIFY(SymbolIcon::hasSymbol(name));
        QVERIFY(SymbolIcon::symbolNames().contains(name));
        const QIcon icon = SymbolIcon::icon(name);
        QVERIFY(!icon.isNull());
        const QImage image = render(icon, 32);
        // Drawn, and neither a blank nor a filled square.
        const int painted = paintedPixels(image);
        QVERIFY2(painted > 32 && painted < 32 * 32 * 3 / 4, qPrintable(QString::number(painted)));
    }

    void unknownNamesGiveNoIcon_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("unknown") << "star.fill";
        QTest::newRow("letter case") << "Gear";
        QTest::newRow("prefix of a name") << "rectangle.lefthalf";
        QTest::newRow("raw value instead of icon name") << "leftHalf";
    }

    void unknownNamesGiveNoIcon()
    {
        QFETCH(QString, name);
        QVERIFY(!SymbolIcon::hasSymbol(name));
        QVERIFY(SymbolIcon::icon(name).isNull());
        QVERIFY(SymbolIcon::tinted(name, Qt::red).isNull());
        QImage image(16, 16, QImage::Format_ARGB32);
        QPainter painter(&image);
        QVERIFY(!SymbolIcon::paint(painter, name, QRectF(0, 0, 16, 16), Qt::black));
    }

    // The filled part of a snap icon is where that position puts the window:
    // the point "inside" is filled, the point "outside" (still within the
    // drawn screen) is not. Top and bottom catch a flipped y axis.
    void snapIconsShowTheirFrame_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QPointF>("inside");
        QTest::addColumn<QPointF>("outside");
        QTest::newRow("leftHalf") << int(SnapPosition::leftHalf) << QPointF(0.3, 0.5) << QPointF(0.7, 0.5);
        QTest::newRow("rightHalf") << int(SnapPosition::rightHalf) << QPointF(0.7, 0.5) << QPointF(0.3, 0.5);
        QTest::newRow("leftThird") << int(SnapPosition::leftThird) << QPointF(0.3, 0.5) << QPointF(0.5, 0.5);
        QTest::newRow("centerThird") << int(SnapPosition::centerThird) << QPointF(0.5, 0.5) << QPointF(0.3, 0.5);
        QTest::newRow("centerThird, right") << int(SnapPosition::centerThird) << QPointF(0.5, 0.4) << QPointF(0.7, 0.5);
        QTest::newRow("rightThird") << int(SnapPosition::rightThird) << QPointF(0.7, 0.5) << QPointF(0.5, 0.5);
        QTest::newRow("topHalf") << int(SnapPosition::topHalf) << QPointF(0.5, 0.4) << QPointF(0.5, 0.6);
        QTest::newRow("bottomHalf") << int(SnapPosition::bottomHalf) << QPointF(0.5, 0.6) << QPointF(0.5, 0.4);
    }

    void snapIconsShowTheirFrame()
    {
        QFETCH(int, position);
        QFETCH(QPointF, inside);
        QFETCH(QPointF, outside);
        const SnapPosition p = SnapPosition::allCases()[position];
        const QImage image = render(SymbolIcon::icon(p.iconName()));
        QCOMPARE(alphaAt(image, inside.x(), inside.y()), 255);
        QCOMPARE(alphaAt(image, outside.x(), outside.y()), 0);
    }

    void tintFollowsThePalette_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << palette(QColor(0xf0, 0xf0, 0xf0), QColor(0x10, 0x10, 0x10));
        QTest::newRow("dark") << palette(QColor(0x20, 0x20, 0x20), QColor(0xee, 0xee, 0xee));
    }

    void tintFollowsThePalette()
    {
        QFETCH(QPalette, palette);
        const QColor text = palette.color(QPalette::WindowText);
        QCOMPARE(inkOf(render(SymbolIcon::icon(QStringLiteral("gear"), palette))).rgb(), text.rgb());
        QCOMPARE(inkOf(render(SymbolIcon::tinted(QStringLiteral("trash"), Qt::red))).rgb(), QColor(Qt::red).rgb());

        // The status item icon carries both colours, so one of them always
        // stands out from the panel behind it.
        const QImage tray = render(SymbolIcon::trayIcon(palette), 22);
        bool hasText = false;
        bool hasHalo = false;
        for (int y = 0; y < tray.height(); ++y) {
            for (int x = 0; x < tray.width(); ++x) {
                const QColor c = QColor::fromRgba(tray.pixel(x, y));
                if (c.alpha() < 255)
                    continue;
                hasText |= c.rgb() == text.rgb();
                hasHalo |= c.rgb() == palette.color(QPalette::Window).rgb();
            }
        }
        QVERIFY(hasText);
        QVERIFY(hasHalo);
        QVERIFY(SymbolIcon::trayIcon(palette).isMask());
    }

    void sharpAtHighDensity()
    {
        const QPixmap pm = SymbolIcon::icon(QStringLiteral("gear")).pixmap(QSize(16, 16), 2.0);
        QCOMPARE(pm.size(), QSize(32, 32));
        QCOMPARE(pm.devicePixelRatio(), 2.0);
    }
};

QTEST_MAIN(TestSymbolIcon)
#include "tst_symbolicon.moc"
