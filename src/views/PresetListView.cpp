#include "views/PresetListView.h"

#include "views/Accessibility.h"
#include "views/SelectionDelegate.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QDrag>
#include <QMimeData>

PresetListView::PresetListView(QWidget* parent) : QListView(parent)
{
    Accessibility::setRowWidgets(this);
    setObjectName(QStringLiteral("presetList"));
    setAccessibleName(QStringLiteral("Presets"));
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

void PresetListView::keyPressEvent(QKeyEvent* event)
{
    const int row = currentIndex().row();
    if (event->modifiers() == Qt::AltModifier && row >= 0 &&
        (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        emit stepRequested(row, event->key() == Qt::Key_Up ? -1 : 1);
        return;
    }
    QListView::keyPressEvent(event);
}

void PresetListView::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex index =
        event->reason() == QContextMenuEvent::Mouse ? indexAt(event->pos()) : currentIndex();
    if (!index.isValid())
        return;
    setCurrentIndex(index);
    const int row = index.row();
    QMenu menu(this);
    QAction* up = menu.addAction(QStringLiteral("Move Up"), this, [this, row] { emit stepRequested(row, -1); });
    up->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Up));
    up->setEnabled(row > 0);
    QAction* down = menu.addAction(QStringLiteral("Move Down"), this, [this, row] { emit stepRequested(row, 1); });
    down->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
    down->setEnabled(row + 1 < model()->rowCount());
    const QPoint at = event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                   : viewport()->mapToGlobal(visualRect(index).center());
    menu.exec(at);
}
