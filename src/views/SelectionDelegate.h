#pragma once

#include <QStyledItemDelegate>

// Marks the selected row with a translucent rounded highlight behind normal
// text, instead of the style's solid highlight that would recolour the row
// widgets drawn above it.
class SelectionDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
