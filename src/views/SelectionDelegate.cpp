#include "views/SelectionDelegate.h"

#include <QPainter>
#include <QPainterPath>

void SelectionDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem plain(option);
    if (option.state & QStyle::State_Selected) {
        QColor accent = option.palette.color(QPalette::Active, QPalette::Highlight);
        accent.setAlphaF(0.2f);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        QPainterPath rounded;
        rounded.addRoundedRect(QRectF(option.rect).adjusted(2, 1, -2, -1), 6, 6);
        painter->fillPath(rounded, accent);
        painter->restore();
        plain.state &= ~QStyle::State_Selected;
    }
    plain.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, plain, index);
}
