#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Flattens a menu into lines a test can compare: titles, "---" for
// separators, "Title >" for submenus.
inline QStringList menuLines(const QMenu* menu)
{
    QStringList lines;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            lines << QStringLiteral("---");
        else
            lines << action->text() + (action->menu() ? QStringLiteral(" >") : QString());
    }
    return lines;
}

inline QAction* findAction(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (QAction* inner = action->menu() ? findAction(action->menu(), text) : nullptr)
            return inner;
    }
    return nullptr;
}

// Records the modal alerts shown while it lives and dismisses each with "OK".
class AlertCatcher : public QObject {
public:
    QStringList alerts; // "title | message"

    AlertCatcher()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            alerts << box->text() + QStringLiteral(" | ") + box->informativeText();
            box->button(QMessageBox::Ok)->click();
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
};
