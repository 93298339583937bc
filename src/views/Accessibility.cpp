#include "views/Accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QItemSelectionModel>
#include <QLabel>
#include <QVariant>

namespace {

constexpr const char* roleProperty = "ventrelAccessibleRole";
constexpr const char* checkedProperty = "ventrelAccessibleChecked";
constexpr const char* rowWidgetsProperty = "ventrelRowWidgets";

QAbstractItemView* rowListOf(const QWidget* row)
{
    QWidget* viewport = row->parentWidget();
    auto* view = viewport ? qobject_cast<QAbstractItemView*>(viewport->parentWidget()) : nullptr;
    if (!view || view->viewport() != viewport || !view->property(rowWidgetsProperty).toBool())
        return nullptr;
    return view;
}

int rowOf(const QAbstractItemView* view, const QWidget* row)
{
    const int count = view->model() ? view->model()->rowCount() : 0;
    for (int i = 0; i < count; ++i) {
        if (view->indexWidget(view->model()->index(i, 0)) == row)
            return i;
    }
    return -1;
}

class RoleInterface : public QAccessibleWidget {
public:
    RoleInterface(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QString text(QAccessible::Text t) const override
    {
        QString value = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && value.isEmpty()) {
            if (auto* label = qobject_cast<QLabel*>(widget()))
                value = label->text();
            else if (widget()->isWindow())
                value = widget()->windowTitle();
        }
        return value;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const QVariant checked = widget()->property(checkedProperty);
        if (checked.isValid()) {
            s.checkable = true;
            s.checked = checked.toBool();
        }
        if (widget()->isWindow())
            s.active = widget()->isActiveWindow();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (qobject_cast<QAbstractButton*>(widget()))
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override
    {
        if (auto* button = qobject_cast<QAbstractButton*>(widget()); button && name == pressAction())
            button->click();
        else
            QAccessibleWidget::doAction(name);
    }
};

class RowListInterface : public QAccessibleWidget {
public:
    explicit RowListInterface(QAbstractItemView* view) : QAccessibleWidget(view, QAccessible::List) {}

    QAbstractItemView* view() const { return static_cast<QAbstractItemView*>(widget()); }
    QWidget* row(int i) const
    {
        return view()->model() ? view()->indexWidget(view()->model()->index(i, 0)) : nullptr;
    }

    int childCount() const override { return view()->model() ? view()->model()->rowCount() : 0; }
    QAccessibleInterface* child(int index) const override
    {
        QWidget* w = row(index);
        return w ? QAccessible::queryAccessibleInterface(w) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() && child->object()->isWidgetType()
                   ? rowOf(view(), static_cast<QWidget*>(child->object()))
                   : -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        if (view()->hasFocus())
            return child(view()->currentIndex().row());
        return QAccessibleWidget::focusChild();
    }
};

class RowInterface : public QAccessibleWidget {
public:
    explicit RowInterface(QWidget* row) : QAccessibleWidget(row, QAccessible::ListItem) {}

    QAccessibleInterface* parent() const override
    {
        QAbstractItemView* view = rowListOf(widget());
        return view ? QAccessible::queryAccessibleInterface(view) : QAccessibleWidget::parent();
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        QAbstractItemView* view = rowListOf(widget());
        if (!view || !view->model())
            return s;
        const QModelIndex index = view->model()->index(rowOf(view, widget()), 0);
        s.selectable = true;
        s.focusable = true;
        s.selected = view->selectionModel() && view->selectionModel()->isSelected(index);
        s.focused = view->hasFocus() && view->currentIndex() == index;
        return s;
    }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    const QVariant role = widget->property(roleProperty);
    if (role.isValid())
        return new RoleInterface(widget, QAccessible::Role(role.toInt()));
    if (widget->property(rowWidgetsProperty).toBool())
        if (auto* view = qobject_cast<QAbstractItemView*>(widget))
            return new RowListInterface(view);
    if (rowListOf(widget))
        return new RowInterface(widget);
    return nullptr;
}

// Qt caches a widget's interface from the first time anything asks for it,
// which a widget's own constructor may already do while a screen reader
// listens: drop it, so that the next one comes from the factory above.
void forgetInterface(QWidget* widget)
{
    if (!QAccessible::isActive())
        return;
    if (QAccessibleInterface* cached = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cached));
}

} // namespace

void Accessibility::install()
{
    QAccessible::installFactory(factory);
}

void Accessibility::setRole(QWidget* widget, QAccessible::Role role)
{
    widget->setProperty(roleProperty, int(role));
    forgetInterface(widget);
}

void Accessibility::setChecked(QWidget* widget, bool checked)
{
    if (widget->property(roleProperty).isNull())
        setRole(widget, QAccessible::Button);
    widget->setProperty(checkedProperty, checked);
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

void Accessibility::setRowWidgets(QAbstractItemView* view)
{
    view->setProperty(rowWidgetsProperty, true);
    forgetInterface(view);
}
