#include "views/SnapPositionRowView.h"

#include "stores/ShortcutManager.h"
#include "views/RowFocus.h"
#include "views/RowStyle.h"
#include "views/ShortcutField.h"
#include "views/SymbolIcon.h"
#include "views/ViewStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

// A little larger than the other symbols: the filled part must stay legible.
constexpr int positionIconSize = 22;

} // namespace

SnapPositionRowView::SnapPositionRowView(SnapPosition position, bool isVisible,
                                         std::function<void()> onToggleVisibility, QWidget* parent)
    : QWidget(parent), m_position(position), m_isVisible(isVisible), m_onToggleVisibility(std::move(onToggleVisibility))
{
    setObjectName(QStringLiteral("snapPositionRow"));
    RowFocus::setKey(this, m_position.displayName());
    RowStyle::describeRow(this, m_position.displayName(), m_isVisible);
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(RowStyle::spacing);
    layout->setContentsMargins(0, RowStyle::verticalPadding, 0, RowStyle::verticalPadding);

    // Without a symbol the row simply starts with the eye button.
    if (SymbolIcon::hasSymbol(m_position.iconName())) {
        m_icon = new QLabel(this);
        m_icon->setObjectName(QStringLiteral("positionIcon"));
        m_icon->setAccessibleName(m_position.displayName());
        m_icon->setFixedSize(positionIconSize, positionIconSize);
        m_icon->setAlignment(Qt::AlignCenter);
        layout->addWidget(m_icon);
    }

    m_visibilityButton = RowStyle::makeSymbolButton(this, QStringLiteral("visibilityButton"));
    connect(m_visibilityButton, &QToolButton::clicked, this, [this] {
        if (m_onToggleVisibility)
            m_onToggleVisibility();
    });
    layout->addWidget(m_visibilityButton);

    m_title = new QLabel(m_position.displayName(), this);
    m_title->setObjectName(QStringLiteral("titleLabel"));
    m_title->setFont(ViewStyle::medium(font()));
    layout->addWidget(m_title);
    layout->addStretch(1);
    m_shortcutField = new ShortcutField(ShortcutManager::shared(), m_position.rawValue(), m_position.displayName(), this);
    layout->addWidget(m_shortcutField);

    applyPalette();
}

void SnapPositionRowView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
    QWidget::changeEvent(event);
}

void SnapPositionRowView::applyPalette()
{
    // A hidden row is dimmer, but its title still reads at 4.5:1 and its icon at 3:1.
    QPalette shown = palette();
    if (!m_isVisible) {
        shown.setColor(QPalette::WindowText, ViewStyle::faint(palette()));
        ViewStyle::setTextColor(m_title, ViewStyle::secondary(palette()));
    }
    if (m_icon) {
        const QIcon icon = SymbolIcon::icon(m_position.iconName(), shown);
        m_icon->setPixmap(icon.pixmap(QSize(positionIconSize, positionIconSize), devicePixelRatioF()));
    }
    RowStyle::setVisibilityState(m_visibilityButton, m_isVisible, m_position.displayName());
}
