#pragma once

#include <QAbstractButton>
#include <QKeySequence>
#include <QString>

class ShortcutManager;

// Where a preset's or snap position's global shortcut is assigned: click it
// (or press Space) and type a combination. Backspace clears the shortcut,
// Escape leaves it as it was. Under the keys it says what keeps the shortcut
// from working, if anything: another program holds it, the desktop manages
// it, or this desktop has no global shortcuts.
class ShortcutField : public QAbstractButton {
    Q_OBJECT
public:
    ShortcutField(ShortcutManager& store, QString id, const QString& itemName, QWidget* parent = nullptr);
    ~ShortcutField() override;

    bool isRecording() const { return m_recording; }
    // The line under the keys; empty when the shortcut simply works.
    const QString& note() const { return m_note; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void setRecording(bool recording);
    void commit(const QKeySequence& keys);
    void refresh();

    ShortcutManager& m_store;
    QString m_id;
    bool m_recording = false;
    Qt::KeyboardModifiers m_heldModifiers;
    QString m_note;
    // A refusal from the store, shown until the next change.
    QString m_refusal;
    bool m_noteIsWarning = false;
};
