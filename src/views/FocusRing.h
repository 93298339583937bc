#pragma once

#include <QObject>

class QWidget;

// A ring drawn over a widget while it has keyboard focus, in a colour that
// stands out at 3:1 from what lies behind it. The styles' own focus frames on
// flat buttons and plain widgets are faint or missing.
class FocusRing : public QObject {
    Q_OBJECT
public:
    // The ring lives as a child of widget.
    static void install(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FocusRing(QWidget* widget);

    bool m_painting = false;
};
