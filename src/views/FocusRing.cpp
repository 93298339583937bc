#include "views/FocusRing.h"

#include "views/ViewStyle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QWidget>

FocusRing::FocusRing(QWidget* widget) : QObject(widget) {}

void FocusRing::install(QWidget* widget)
{
    widget->installEventFilter(new FocusRing(widget));
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        widget->update();
        return false;
    case QEvent::Paint: {
        if (m_painting)
            return false;
        // The widget paints itself first, so that the ring lies on top.
        m_painting = true;
        QCoreApplication::sendEvent(widget, event);
        m_painting = false;
        if (!widget->hasFocus())
            return true;
        QPainter painter(widget);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(ViewStyle::focusRing(widget->palette()), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(widget->rect()).adjusted(1, 1, -1, -1), 4, 4);
        return true;
    }
    default:
        return false;
    }
}
