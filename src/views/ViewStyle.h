#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QLabel;
class QWidget;

// The few semantic colours and text styles the Settings panes share, derived
// from the widget's palette and font so they follow light and dark themes.
class ViewStyle {
public:
    // Text of lesser importance: the primary text colour, faded.
    static QColor secondary(const QPalette& palette);
    // Destructive and error red, a shade that reads on light and dark backgrounds.
    static QColor red(const QPalette& palette);
    static bool isDark(const QPalette& palette);

    static QFont headline(QFont base);
    static QFont subheadlineMedium(QFont base);
    static QFont medium(QFont base);
    static QFont caption(QFont base);

    static void setTextColor(QWidget* widget, const QColor& color);
};
