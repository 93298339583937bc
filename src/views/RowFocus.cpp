#include "views/RowFocus.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QItemSelectionModel>
#include <QWidget>

#include <algorithm>

namespace {

constexpr const char* keyProperty = "rowKey";

int rowWithKey(const QAbstractItemView* view, const QVariant& key)
{
    const int count = view->model() ? view->model()->rowCount() : 0;
    for (int row = 0; row < count; ++row) {
        const QWidget* w = RowFocus::rowWidget(view, row);
        if (w && w->property(keyProperty) == key)
            return row;
    }
    return -1;
}

} // namespace

QWidget* RowFocus::rowWidget(const QAbstractItemView* view, int row)
{
    return view->model() ? view->indexWidget(view->model()->index(row, 0)) : nullptr;
}

void RowFocus::setKey(QWidget* row, const QVariant& key)
{
    row->setProperty(keyProperty, key);
}

RowFocus RowFocus::save(QAbstractItemView* view)
{
    RowFocus saved;
    saved.m_currentRow = view->currentIndex().row();
    if (const QWidget* current = rowWidget(view, saved.m_currentRow))
        saved.m_currentKey = current->property(keyProperty);
    QWidget* focus = QApplication::focusWidget();
    if (focus == view) {
        saved.m_focusInList = true;
        return saved;
    }
    for (QWidget* w = focus; w && w != view; w = w->parentWidget()) {
        if (w->parentWidget() == view->viewport() && w->property(keyProperty).isValid()) {
            saved.m_focusInList = true;
            saved.m_focusKey = w->property(keyProperty);
            saved.m_control = focus->objectName();
            saved.m_focusRow = view->indexAt(w->geometry().center()).row();
            break;
        }
    }
    return saved;
}

void RowFocus::restore(QAbstractItemView* view) const
{
    const int count = view->model() ? view->model()->rowCount() : 0;
    if (count == 0)
        return;
    int current = m_currentKey.isValid() ? rowWithKey(view, m_currentKey) : -1;
    if (current < 0 && m_currentRow >= 0)
        current = std::min(m_currentRow, count - 1);
    if (current >= 0)
        view->selectionModel()->setCurrentIndex(view->model()->index(current, 0),
                                                QItemSelectionModel::ClearAndSelect);
    if (!m_focusInList)
        return;
    if (m_focusKey.isValid()) {
        const int row = rowWithKey(view, m_focusKey);
        // A control without a name cannot be told from its siblings: its row then.
        if (QWidget* w = rowWidget(view, row); w && !m_control.isEmpty()) {
            if (auto* control = w->findChild<QWidget*>(m_control); control && control->isVisibleTo(w)) {
                control->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
        // Else the row itself, or the one that took its place when it is gone.
        const int place = row >= 0 ? row : std::min(m_focusRow, count - 1);
        if (place >= 0)
            view->selectionModel()->setCurrentIndex(view->model()->index(place, 0),
                                                    QItemSelectionModel::ClearAndSelect);
    }
    view->setFocus(Qt::OtherFocusReason);
}

void RowFocus::chainTabOrder(QAbstractItemView* view)
{
    QWidget* previous = view;
    const int count = view->model() ? view->model()->rowCount() : 0;
    for (int row = 0; row < count; ++row) {
        QWidget* w = rowWidget(view, row);
        if (!w)
            continue;
        // Children come in the order the row created them, which is its layout order.
        for (QWidget* control : w->findChildren<QWidget*>()) {
            if ((control->focusPolicy() & Qt::TabFocus) && !control->isHidden()) {
                QWidget::setTabOrder(previous, control);
                previous = control;
            }
        }
    }
}
