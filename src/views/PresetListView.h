#pragma once

#include <QListView>

// The presets list: rows are widgets laid over the items, and dragging any
// part of a row other than its buttons moves it. The drag shows the row itself.
class PresetListView : public QListView {
    Q_OBJECT
public:
    explicit PresetListView(QWidget* parent = nullptr);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
};
