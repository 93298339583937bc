#pragma once

#include "views/DeferredRefresh.h"

#include <QWidget>

class QListWidget;
class SnapPositionManager;
class SnapPositionRowView;

// The Snap Positions section of the Settings window: the seven positions in
// their fixed order, each shown or hidden in the menu with its eye button.
// It has no state of its own and redraws from the store.
class SnapPositionsPane : public QWidget {
    Q_OBJECT
public:
    explicit SnapPositionsPane(SnapPositionManager& snapPositionManager, QWidget* parent = nullptr);

    QListWidget* listWidget() const { return m_list; }
    int rowCount() const;
    SnapPositionRowView* rowView(int row) const;

private:
    void refresh();

    SnapPositionManager& m_snapPositionManager;
    QListWidget* m_list = nullptr;
    DeferredRefresh* m_refresh = nullptr;
};
