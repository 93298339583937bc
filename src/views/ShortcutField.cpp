#include "views/ShortcutField.h"

#include "stores/ShortcutManager.h"
#include "views/ViewStyle.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>


namespace {

constexpr int fieldWidth = 150;
constexpr int boxHeight = 22;
constexpr int radius = 5;

const Qt::KeyboardModifiers recorded = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_unknown:
        return true;
    default:
        return false;
    }
}

} // namespace

ShortcutField::ShortcutField(ShortcutManager& store, QString id, const QString& itemName, QWidget* parent)
    : QAbstractButton(parent), m_store(store), m_id(std::move(id))
{
    setObjectName(QStringLiteral("shortcutField"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(QStringLiteral("Shortcut for %1").arg(itemName));
    connect(this, &QAbstractButton::clicked, this, [this] { setRecording(!m_recording); });
    connect(&m_store, &ShortcutManager::objectWillChange, this, [this] {
        m_refusal.clear();
        refresh();
    });
    connect(&m_store, &ShortcutManager::statusChanged, this, [this](const QString& changed) {
        // While another field records, every shortcut is let go for the
        // moment; what each one said before still holds.
        if (changed == m_id && !(m_store.isRecording() && !m_recording))
            refresh();
    });
    refresh();
}

ShortcutField::~ShortcutField()
{
    if (m_recording)
        m_store.setRecording(false);
}

QSize ShortcutField::sizeHint() const
{
    const QFontMetrics caption(ViewStyle::caption(font()));
    return {fieldWidth, boxHeight + 2 + caption.height()};
}

void ShortcutField::setRecording(bool recording)
{
    if (m_recording == recording)
        return;
    m_recording = recording;
    m_heldModifiers = {};
    // The global grabs would otherwise swallow a combination this program
    // already uses, and it could never be moved or reported as in use.
    m_store.setRecording(recording);
    if (recording)
        m_refusal.clear();
    refresh();
}

void ShortcutField::commit(const QKeySequence& keys)
{
    const std::expected<void, QString> result = m_store.setShortcut(m_id, keys);
    setRecording(false);
    if (!result) {
        m_refusal = QStringLiteral("Already used by \u201C%1\u201D").arg(m_store.displayName(result.error()));
        refresh();
    }
}

void ShortcutField::keyPressEvent(QKeyEvent* event)
{
    if (!m_recording) {
        QAbstractButton::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & recorded;
    if (isModifierKey(key)) {
        m_heldModifiers = modifiers;
        refresh();
        return;
    }
    if (!modifiers && key == Qt::Key_Escape) {
        setRecording(false);
        return;
    }
    if (!modifiers && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
        commit({});
        return;
    }
    // Without Ctrl, Alt or Super the combination would take a key away from
    // typing everywhere; function keys are meant for this.
    const bool functionKey = key >= Qt::Key_F1 && key <= Qt::Key_F35;
    if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) && !functionKey) {
        m_refusal = QStringLiteral("Add Ctrl, Alt or Super");
        refresh();
        return;
    }
    commit(QKeySequence(QKeyCombination(modifiers, Qt::Key(key))));
}

void ShortcutField::focusOutEvent(QFocusEvent* event)
{
    setRecording(false);
    QAbstractButton::focusOutEvent(event);
}

void ShortcutField::changeEvent(QEvent* event)
{
    // Every shortcut is let go while one records: a field left recording in
    // a window the user went away from must not keep them all off.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        setRecording(false);
    QAbstractButton::changeEvent(event);
}

bool ShortcutField::focusNextPrevChild(bool next)
{
    // Tab leaves the field even while it records, so the keyboard never gets stuck in it.
    setRecording(false);
    return QAbstractButton::focusNextPrevChild(next);
}

void ShortcutField::refresh()
{
    const QKeySequence keys = m_store.shortcut(m_id);
    const std::optional<GlobalShortcuts::Status> status = keys.isEmpty() ? std::nullopt : m_store.status(m_id);
    QString shown = keys.toString(QKeySequence::NativeText);
    m_note.clear();
    m_noteIsWarning = false;
    QString state = keys.isEmpty() ? QStringLiteral("No shortcut") : shown;
    if (status) {
        switch (status->state) {
        case GlobalShortcuts::Status::State::active:
            state += QStringLiteral(", works in every application");
            break;
        case GlobalShortcuts::Status::State::taken:
            m_note = QStringLiteral("Taken: ") + status->detail;
            m_noteIsWarning = true;
            break;
        case GlobalShortcuts::Status::State::managedByDesktop:
            shown = status->detail;
            m_note = QStringLiteral("Set by the desktop");
            state = QStringLiteral("%1, set by the desktop").arg(status->detail);
            break;
        case GlobalShortcuts::Status::State::unsupported:
            m_note = status->detail;
            break;
        }
    }
    if (!m_refusal.isEmpty()) {
        m_note = m_refusal;
        m_noteIsWarning = true;
    }
    if (m_recording) {
        const QString held = QKeySequence(QKeyCombination(m_heldModifiers, Qt::Key(0))).toString(QKeySequence::NativeText);
        shown = m_heldModifiers ? held : QStringLiteral("Type shortcut\u2026");
        m_noteIsWarning = !m_refusal.isEmpty();
        m_note = m_noteIsWarning ? m_refusal : QStringLiteral("Esc cancels, Backspace clears");
        state = QStringLiteral("Recording: type the combination. Escape cancels, Backspace clears.");
    } else if (!m_note.isEmpty()) {
        state += QStringLiteral(". ") + m_note;
    }
    setText(shown);
    setToolTip(m_note.isEmpty() ? state : m_note);
    setAccessibleDescription(state);
    update();
}

void ShortcutField::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QRectF box(1.5, 1.5, width() - 3.0, boxHeight - 3.0);

    const QColor border = m_recording ? pal.color(QPalette::Highlight) : ViewStyle::secondary(pal);
    painter.setPen(QPen(border, 1));
    painter.setBrush(pal.color(QPalette::Base));
    painter.drawRoundedRect(box, radius, radius);

    if (hasFocus()) {
        painter.setPen(QPen(ViewStyle::focusRing(pal), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(-0.5, -0.5, 0.5, 0.5), radius + 1, radius + 1);
    }

    const bool placeholder = m_store.shortcut(m_id).isEmpty() && !m_recording;
    painter.setPen(placeholder ? ViewStyle::secondary(pal) : pal.color(QPalette::Text));
    const QString shown = placeholder ? QStringLiteral("Record Shortcut") : text();
    painter.drawText(box, Qt::AlignCenter, painter.fontMetrics().elidedText(shown, Qt::ElideRight, int(box.width()) - 8));

    if (!m_note.isEmpty()) {
        const QFont caption = ViewStyle::caption(font());
        painter.setFont(caption);
        painter.setPen(m_noteIsWarning ? ViewStyle::red(pal) : ViewStyle::secondary(pal));
        const QRect line(0, boxHeight + 2, width(), height() - boxHeight - 2);
        painter.drawText(line, Qt::AlignHCenter | Qt::AlignTop,
                         QFontMetrics(caption).elidedText(m_note, Qt::ElideRight, line.width()));
    }
}
