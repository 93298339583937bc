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
    // The WCAG contrast ratio of two opaque colours, from 1 to 21.
    static double contrast(const QColor& a, const QColor& b);
    // A colour translucent over background, made opaque.
    static QColor over(const QColor& color, const QColor& background);
    // The translucent accent behind a selected row.
    static QColor selectionTint(const QPalette& palette);
    // The text colour of rows the menu leaves out: as far towards the list
    // background as text may go and still read at 4.5:1, selected or not.
    static QColor faint(const QPalette& palette);
    // What a keyboard focus ring is drawn in: the accent when it stands out at
    // 3:1 from both the window and the list background, else the text colour.
    static QColor focusRing(const QPalette& palette);

    static QFont headline(QFont base);
    static QFont subheadlineMedium(QFont base);
    static QFont medium(QFont base);
    static QFont caption(QFont base);

    static void setTextColor(QWidget* widget, const QColor& color);
};
