#pragma once

#include <QListView>

// The presets list: rows are widgets laid over the items, and dragging any
// part of a row other than its buttons moves it. The drag shows the row itself.
// Without a mouse, Alt+Up and Alt+Down (or the row's context menu) move the
// current row one place.
class PresetListView : public QListView {
    Q_OBJECT
public:
    explicit PresetListView(QWidget* parent = nullptr);

signals:
    // The row at offset row, to be moved by delta places (-1 up, +1 down).
    void stepRequested(int row, int delta);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};
