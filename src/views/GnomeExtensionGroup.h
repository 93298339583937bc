#pragma once

#include "platform/gnome/GnomeShellExtension.h"

#include <QWidget>

class QLabel;
class QPushButton;

// The General pane's note on a GNOME session whose Shell lacks Ventrel's
// extension (or has it switched off): what is wrong, in words, and a button
// that asks the Shell to enable it. Shown only when something is missing.
class GnomeExtensionGroup : public QWidget {
    Q_OBJECT
public:
    explicit GnomeExtensionGroup(GnomeShellExtension::Status status, QWidget* parent = nullptr);

    // The extension's state in this session when the pane should show the
    // group: GNOME Shell runs and the extension is not ready.
    static std::optional<GnomeShellExtension::Status> needed();

    QLabel* text() const { return m_text; }
    QPushButton* enableButton() const { return m_enable; }

private:
    void enable();

    QLabel* m_text = nullptr;
    QPushButton* m_enable = nullptr;
};
