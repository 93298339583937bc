#pragma once

#include <QString>
#include <QVariant>

class QAbstractItemView;
class QWidget;

// Keeps the keyboard focus, and the current row, of a list whose row widgets
// are rebuilt on every store change. A row widget names what it shows with the
// "rowKey" property (a preset's id, a position's name); a control in it is
// told apart by its objectName, so any named control a row gains is kept too.
class RowFocus {
public:
    // Where the focus and the current row are now, before the rows go.
    static RowFocus save(QAbstractItemView* view);
    // After the rows are rebuilt: the same control of the same row, else the
    // row itself in the list, else the row now at the old place (when a row
    // was deleted); the current row is selected again either way.
    void restore(QAbstractItemView* view) const;

    // The rows' controls come right after the list in the Tab chain, in
    // reading order, whatever else was built after the list.
    static void chainTabOrder(QAbstractItemView* view);

    static QWidget* rowWidget(const QAbstractItemView* view, int row);
    static void setKey(QWidget* row, const QVariant& key);

private:
    QVariant m_currentKey;
    int m_currentRow = -1;
    QVariant m_focusKey;
    QString m_control;
    int m_focusRow = -1;
    bool m_focusInList = false;
};
