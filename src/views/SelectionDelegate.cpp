#include "views/SelectionDelegate.h"

#include "views/ViewStyle.h"

#include <QPainter>
#include <QPainterPath>

void SelectionDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem plain(option);
    if (option.state & QStyle::State_Selected) {
        const QColor accent = ViewStyle::selectionTint(option.palette);
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
    // The style's own focus frame on an item is faint, and none shows at all
    // under a row widget: a ring at the item's edge instead.
    if (option.state & QStyle::State_HasFocus) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(ViewStyle::focusRing(option.palette), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(option.rect).adjusted(2, 1, -2, -1), 6, 6);
        painter->restore();
    }
}
