#include "views/RowStyle.h"

#include "views/SymbolIcon.h"
#include "views/ViewStyle.h"

#include <QGraphicsOpacityEffect>
#include <QToolButton>

QToolButton* RowStyle::makeSymbolButton(QWidget* parent, const QString& objectName)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setIconSize(QSize(iconSize, iconSize));
    button->setCursor(Qt::ArrowCursor);
    return button;
}

void RowStyle::setSymbol(QToolButton* button, const QString& symbolName, const QColor& color)
{
    button->setIcon(SymbolIcon::tinted(symbolName, color));
    button->setProperty("symbolName", symbolName);
}

void RowStyle::setVisibilityState(QToolButton* button, bool isVisible)
{
    const QPalette& palette = button->palette();
    if (isVisible) {
        setSymbol(button, QStringLiteral("eye.fill"), palette.color(QPalette::Active, QPalette::WindowText));
        button->setToolTip(QStringLiteral("Hide from menu"));
    } else {
        setSymbol(button, QStringLiteral("eye.slash"), ViewStyle::secondary(palette));
        button->setToolTip(QStringLiteral("Show in menu"));
    }
    button->setAccessibleName(button->toolTip());
}

void RowStyle::setDimmed(QWidget* row, bool dimmed)
{
    if (!dimmed) {
        row->setGraphicsEffect(nullptr);
        return;
    }
    auto* effect = new QGraphicsOpacityEffect(row);
    effect->setOpacity(0.5);
    row->setGraphicsEffect(effect);
}

void RowStyle::passMouseThrough(QWidget* child)
{
    child->setAttribute(Qt::WA_TransparentForMouseEvents);
}
