#pragma once

#include <QColor>
#include <QIcon>
#include <QPalette>
#include <QString>
#include <QStringList>

class QPainter;
class QRectF;

// The one lookup of the program's monochrome symbols by name ("gear",
// "eye.fill", "trash", and the snap position names of SnapPosition::iconName).
// Every symbol is painted by the program itself, so it is sharp at any size
// and device pixel ratio; the icon of a snap position is drawn from that
// position's own frame() and so always shows what choosing it does.
//
// An unknown name yields a null QIcon: callers then show no icon at all.
class SymbolIcon {
public:
    // The symbol in the palette's text colour (primary), so it reads in light
    // and dark themes. The default palette is the application's.
    static QIcon icon(const QString& symbolName, const QPalette& palette = {});
    // The symbol in an explicit colour (secondary text, destructive red, ...).
    static QIcon tinted(const QString& symbolName, const QColor& color);
    // The status item icon ("rectangle.expand.vertical"): the palette's text
    // colour outlined in its window colour, so it stays visible on light and
    // dark panels alike; marked as a mask for platforms with template images.
    static QIcon trayIcon(const QPalette& palette = {});

    static bool hasSymbol(const QString& symbolName);
    static QStringList symbolNames();

    // Paints a symbol into box (kept square and centred); false for an unknown name.
    static bool paint(QPainter& painter, const QString& symbolName, const QRectF& box, const QColor& color);
};
