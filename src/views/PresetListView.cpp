#include "views/PresetListView.h"

#include "views/SelectionDelegate.h"

#include <QCursor>
#include <QDrag>
#include <QMimeData>

PresetListView::PresetListView(QWidget* parent) : QListView(parent)
{
    setObjectName(QStringLiteral("presetList"));
    setItemDelegate(new SelectionDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setViewportMargins(6, 6, 6, 6);
}

void PresetListView::startDrag(Qt::DropActions supportedActions)
{
    const QModelIndexList indexes = selectedIndexes();
    if (indexes.isEmpty() || !model())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(model()->mimeData(indexes));
    if (QWidget* row = indexWidget(indexes.first())) {
        drag->setPixmap(row->grab());
        drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - visualRect(indexes.first()).topLeft());
    }
    // The drop has already reordered the store; unlike the default, nothing
    // is removed from the model when the move finishes.
    drag->exec(supportedActions & Qt::MoveAction, Qt::MoveAction);
}
