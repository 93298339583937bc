#include "views/SymbolIcon.h"

#include <QImage>
#include <QTest>

class TestSymbolIcon : public QObject {
    Q_OBJECT

private slots:
    // The status item icon carries a dark theme's light text colour outlined in
    // its window colour, so one of them stands out from any panel. (The symbols
    // taking a dark palette's text colour is measured in tst_rowcontrast.)
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

QTEST_MAIN(TestSymbolIcon)
#include "tst_symbolicon.moc"
