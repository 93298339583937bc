#pragma once

#include <QColor>
#include <QString>

class QToolButton;
class QWidget;

// What the preset and snap position rows have in common: the eye button, how
// a hidden row reads and the mouse pass-through of their labels.
class RowStyle {
public:
    static constexpr int iconSize = 16;
    static constexpr int spacing = 12;
    static constexpr int verticalPadding = 4;

    // A bezel-less button showing a symbol, with a visible focus ring; the
    // symbol name is kept in the "symbolName" property so the shown state can
    // be inspected.
    static QToolButton* makeSymbolButton(QWidget* parent, const QString& objectName);
    static void setSymbol(QToolButton* button, const QString& symbolName, const QColor& color);
    // "eye.fill" in primary and "Hide <subject> from menu" when shown,
    // "eye.slash" faint and "Show <subject> in menu" when hidden; a toggle
    // that is checked while the menu offers the item.
    static void setVisibilityState(QToolButton* button, bool isVisible, const QString& subject);
    // What a screen reader says for the row; a hidden row says so.
    static void describeRow(QWidget* row, const QString& name, bool isVisible);
    // Lets presses on decorative children reach the list, so the whole row drags.
    static void passMouseThrough(QWidget* child);
};
