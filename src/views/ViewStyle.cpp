#include "views/ViewStyle.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

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

double ViewStyle::contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](float v) { return v <= 0.04045f ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ViewStyle::over(const QColor& color, const QColor& background)
{
    const float alpha = color.alphaF();
    const auto mix = [alpha](float top, float bottom) { return top * alpha + bottom * (1 - alpha); };
    return QColor::fromRgbF(mix(color.redF(), background.redF()), mix(color.greenF(), background.greenF()),
                            mix(color.blueF(), background.blueF()));
}

QColor ViewStyle::selectionTint(const QPalette& palette)
{
    QColor accent = palette.color(QPalette::Active, QPalette::Highlight);
    accent.setAlphaF(0.2f);
    return accent;
}

QColor ViewStyle::faint(const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    const QColor selected = over(selectionTint(palette), base);
    QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    // A small margin over 4.5 keeps rounding to 8-bit channels on the safe side.
    for (float alpha = 0.3f; alpha < 1.0f; alpha += 0.02f) {
        text.setAlphaF(alpha);
        const QColor opaque = over(text, base);
        if (std::min(contrast(opaque, base), contrast(opaque, selected)) >= 4.7)
            return opaque;
    }
    text.setAlphaF(1.0f);
    return text;
}

QColor ViewStyle::focusRing(const QPalette& palette)
{
    const QColor accent = palette.color(QPalette::Active, QPalette::Highlight);
    if (contrast(accent, palette.color(QPalette::Active, QPalette::Window)) >= 3.0 &&
        contrast(accent, palette.color(QPalette::Active, QPalette::Base)) >= 3.0)
        return accent;
    return palette.color(QPalette::Active, QPalette::WindowText);
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
