#pragma once

#include <QColor>
#include <QString>

class QToolButton;
class QWidget;

// What the preset and snap position rows have in common: the eye button, the
// dimming of hidden rows and the mouse pass-through of their labels.
class RowStyle {
public:
    static constexpr int iconSize = 16;
    static constexpr int spacing = 12;
    static constexpr int verticalPadding = 4;

    // A bezel-less button showing a symbol; the symbol name is kept in the
    // "symbolName" property so the shown state can be inspected.
    static QToolButton* makeSymbolButton(QWidget* parent, const QString& objectName);
    static void setSymbol(QToolButton* button, const QString& symbolName, const QColor& color);
    // "eye.fill" in primary and "Hide from menu" when shown, "eye.slash" in
    // secondary and "Show in menu" when hidden.
    static void setVisibilityState(QToolButton* button, bool isVisible);
    // Half opacity for rows whose item the menu does not offer.
    static void setDimmed(QWidget* row, bool dimmed);
    // Lets presses on decorative children reach the list, so the whole row drags.
    static void passMouseThrough(QWidget* child);
};
