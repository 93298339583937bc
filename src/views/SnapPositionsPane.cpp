#include "views/SnapPositionsPane.h"

#include "stores/ShortcutManager.h"
#include "stores/SnapPositionManager.h"
#include "views/BindingLinesBox.h"
#include "views/Accessibility.h"
#include "views/RowFocus.h"
#include "views/SnapPositionRowView.h"

#include <QFrame>
#include <QListWidget>
#include <QVBoxLayout>

SnapPositionsPane::SnapPositionsPane(SnapPositionManager& snapPositionManager, QWidget* parent)
    : QWidget(parent), m_snapPositionManager(snapPositionManager)
{
    setObjectName(QStringLiteral("snapPositionsPane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_list = new QListWidget(this);
    Accessibility::setRowWidgets(m_list);
    m_list->setObjectName(QStringLiteral("snapPositionList"));
    m_list->setAccessibleName(QStringLiteral("Snap Positions"));
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSpacing(2);
    layout->addWidget(m_list);
    layout->addWidget(new BindingLinesBox(ShortcutManager::shared(), this));

    m_refresh = new DeferredRefresh([this] { refresh(); }, this);
    connect(&m_snapPositionManager, &SnapPositionManager::objectWillChange, m_refresh, &DeferredRefresh::schedule);
    refresh();
}

int SnapPositionsPane::rowCount() const
{
    return m_list->count();
}

SnapPositionRowView* SnapPositionsPane::rowView(int row) const
{
    return qobject_cast<SnapPositionRowView*>(m_list->itemWidget(m_list->item(row)));
}

void SnapPositionsPane::refresh()
{
    const RowFocus focus = RowFocus::save(m_list);
    m_list->clear();
    for (const auto& entry : m_snapPositionManager.allPositionsWithVisibility()) {
        const SnapPosition position = entry.position;
        auto* row = new SnapPositionRowView(position, entry.isVisible,
                                            [this, position] { m_snapPositionManager.togglePositionVisibility(position); },
                                            m_list->viewport());
        auto* item = new QListWidgetItem(m_list);
        item->setData(Qt::AccessibleTextRole, position.displayName());
        item->setSizeHint(row->sizeHint());
        m_list->setItemWidget(item, row);
    }
    RowFocus::chainTabOrder(m_list);
    focus.restore(m_list);
}
