#pragma once

#include <QAccessible>

class QAbstractItemView;
class QWidget;

// What Qt's own accessibility does not say about our widgets, told through one
// interface factory:
// - a role other than the widget class's (headings, alerts, windows), and the
//   checked state of a button that must not look checked;
// - lists whose rows are widgets laid over the items (setRowWidgets): each row
//   is a list item of the list, and its controls are the item's children, so
//   that a screen reader finds them when it explores the list.
class Accessibility {
public:
    // Once, after the QApplication exists: factories installed later are asked first.
    static void install();

    // Right after construction, before the widget is shown.
    static void setRole(QWidget* widget, QAccessible::Role role);
    // Reported as a toggle that is checked or not, whatever the widget draws.
    static void setChecked(QWidget* widget, bool checked);
    // The rows of view are the widgets set on its items (QAbstractItemView::setIndexWidget).
    static void setRowWidgets(QAbstractItemView* view);
};
