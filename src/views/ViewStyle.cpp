#include "views/ViewStyle.h"

#include <QWidget>

QColor ViewStyle::secondary(const QPalette& palette)
{
    QColor c = palette.color(QPalette::Active, QPalette::WindowText);
    c.setAlphaF(0.6f);
    return c;
}

bool ViewStyle::isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor ViewStyle::red(const QPalette& palette)
{
    return isDark(palette) ? QColor(0xff, 0x45, 0x3a) : QColor(0xd7, 0x00, 0x15);
}

QFont ViewStyle::headline(QFont base)
{
    base.setWeight(QFont::DemiBold);
    return base;
}

QFont ViewStyle::subheadlineMedium(QFont base)
{
    base.setPointSizeF(base.pointSizeF() * 0.92);
    base.setWeight(QFont::Medium);
    return base;
}

QFont ViewStyle::medium(QFont base)
{
    base.setWeight(QFont::Medium);
    return base;
}

QFont ViewStyle::caption(QFont base)
{
    base.setPointSizeF(base.pointSizeF() * 0.85);
    return base;
}

void ViewStyle::setTextColor(QWidget* widget, const QColor& color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    p.setColor(QPalette::ButtonText, color);
    widget->setPalette(p);
}
