#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class ShortcutManager;

// Under the lists on sway and i3: the configuration lines that bind the
// shortcuts set above, to copy into the window manager's configuration.
// Hidden elsewhere. Ventrel never edits that file itself.
class BindingLinesBox : public QWidget {
    Q_OBJECT
public:
    explicit BindingLinesBox(ShortcutManager& store, QWidget* parent = nullptr);

    QPlainTextEdit* text() const { return m_text; }

private:
    void refresh();

    ShortcutManager& m_store;
    QLabel* m_caption = nullptr;
    QPlainTextEdit* m_text = nullptr;
};
