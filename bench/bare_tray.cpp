// The floor for start-up and idle figures: a bare Qt tray icon with an
// eight-item menu and nothing else.
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter(&pixmap).fillRect(4, 4, 14, 14, Qt::black);
    QMenu menu;
    for (int i = 0; i < 8; ++i)
        menu.addAction(QStringLiteral("Item %1").arg(i));
    QSystemTrayIcon icon{QIcon(pixmap)};
    icon.setToolTip(QStringLiteral("bare"));
    icon.setContextMenu(&menu);
    icon.show();
    return QApplication::exec();
}
