#include "views/AppIcon.h"

#include "views/SymbolIcon.h"

#include <QGuiApplication>
#include <QSize>
#include <QString>

QIcon AppIcon::application()
{
    QIcon builtIn;
    for (const int size : {16, 22, 32, 48, 64, 128, 256})
        builtIn.addFile(QStringLiteral(":/icons/app-%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral(VENTREL_APP_ID), builtIn);
}

QIcon AppIcon::tray()
{
    if (QGuiApplication::platformName() == QLatin1String("cocoa"))
        return SymbolIcon::trayIcon();
    return QIcon::fromTheme(QStringLiteral(VENTREL_APP_ID "-symbolic"), application());
}
