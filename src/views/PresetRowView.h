#pragma once

#include "model/WindowPreset.h"

#include <QWidget>

#include <functional>

class QLabel;
class QToolButton;
class ShortcutField;

// One row of the presets list: drag handle, visibility control (built-in
// presets only), name and size, and a delete button (custom presets only).
// The row shows a copy of its preset; every action goes through the callbacks.
class PresetRowView : public QWidget {
    Q_OBJECT
public:
    // An empty onDelete means the preset cannot be deleted and no delete button is shown.
    PresetRowView(const WindowPreset& preset, std::function<void()> onToggleVisibility,
                  std::function<void()> onDelete, QWidget* parent = nullptr);

    const WindowPreset& preset() const { return m_preset; }
    // "1920 × 1080": plain decimal integers, no digit grouping.
    static QString dimensionsText(qint64 width, qint64 height);

    // Null for custom presets, which only get an invisible placeholder.
    QToolButton* visibilityButton() const { return m_visibilityButton; }
    QToolButton* deleteButton() const { return m_deleteButton; }
    ShortcutField* shortcutField() const { return m_shortcutField; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyPalette();

    WindowPreset m_preset;
    std::function<void()> m_onToggleVisibility;
    std::function<void()> m_onDelete;
    QLabel* m_handle = nullptr;
    QToolButton* m_visibilityButton = nullptr;
    QToolButton* m_placeholder = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_dimensions = nullptr;
    QToolButton* m_deleteButton = nullptr;
    ShortcutField* m_shortcutField = nullptr;
};
