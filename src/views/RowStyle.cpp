#include "views/RowStyle.h"

#include "views/Accessibility.h"
#include "views/FocusRing.h"
#include "views/SymbolIcon.h"
#include "views/ViewStyle.h"

#include <QToolButton>

QToolButton* RowStyle::makeSymbolButton(QWidget* parent, const QString& objectName)
{
    auto* button = new QToolButton(parent);
    Accessibility::setRole(button, QAccessible::Button);
    button->setObjectName(objectName);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setIconSize(QSize(iconSize, iconSize));
    button->setCursor(Qt::ArrowCursor);
    FocusRing::install(button);
    return button;
}

void RowStyle::setSymbol(QToolButton* button, const QString& symbolName, const QColor& color)
{
    button->setIcon(SymbolIcon::tinted(symbolName, color));
    button->setProperty("symbolName", symbolName);
}

void RowStyle::setVisibilityState(QToolButton* button, bool isVisible, const QString& subject)
{
    const QPalette& palette = button->palette();
    if (isVisible) {
        setSymbol(button, QStringLiteral("eye.fill"), palette.color(QPalette::Active, QPalette::WindowText));
        button->setToolTip(QStringLiteral("Hide from menu"));
        button->setAccessibleName(QStringLiteral("Hide %1 from menu").arg(subject));
    } else {
        setSymbol(button, QStringLiteral("eye.slash"), ViewStyle::faint(palette));
        button->setToolTip(QStringLiteral("Show in menu"));
        button->setAccessibleName(QStringLiteral("Show %1 in menu").arg(subject));
    }
    Accessibility::setChecked(button, isVisible);
}

void RowStyle::describeRow(QWidget* row, const QString& name, bool isVisible)
{
    row->setAccessibleName(name);
    row->setAccessibleDescription(isVisible ? QString() : QStringLiteral("hidden"));
}

void RowStyle::passMouseThrough(QWidget* child)
{
    child->setAttribute(Qt::WA_TransparentForMouseEvents);
}
