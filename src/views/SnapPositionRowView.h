#pragma once

#include "model/SnapPosition.h"

#include <QWidget>

#include <functional>

class QLabel;
class QToolButton;
class ShortcutField;

// One row of the snap positions list: the position's icon, its eye button and
// its title, dimmed while the menu does not offer the position.
class SnapPositionRowView : public QWidget {
    Q_OBJECT
public:
    SnapPositionRowView(SnapPosition position, bool isVisible, std::function<void()> onToggleVisibility,
                        QWidget* parent = nullptr);

    SnapPosition position() const { return m_position; }
    bool isPositionVisible() const { return m_isVisible; }
    QToolButton* visibilityButton() const { return m_visibilityButton; }
    // Null when there is no symbol for the position's icon name.
    QLabel* iconLabel() const { return m_icon; }
    ShortcutField* shortcutField() const { return m_shortcutField; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyPalette();

    SnapPosition m_position;
    bool m_isVisible;
    std::function<void()> m_onToggleVisibility;
    QLabel* m_icon = nullptr;
    QToolButton* m_visibilityButton = nullptr;
    QLabel* m_title = nullptr;
    ShortcutField* m_shortcutField = nullptr;
};
