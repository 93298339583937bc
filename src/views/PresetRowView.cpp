#include "views/PresetRowView.h"

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
#include <QVBoxLayout>

PresetRowView::PresetRowView(const WindowPreset& preset, std::function<void()> onToggleVisibility,
                             std::function<void()> onDelete, QWidget* parent)
    : QWidget(parent)
    , m_preset(preset)
    , m_onToggleVisibility(std::move(onToggleVisibility))
    , m_onDelete(std::move(onDelete))
{
    setObjectName(QStringLiteral("presetRow"));
    RowFocus::setKey(this, m_preset.id);
    RowStyle::describeRow(this, m_preset.name + QStringLiteral(", ") + dimensionsText(m_preset.width, m_preset.height),
                          m_preset.isVisible);
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(RowStyle::spacing);
    layout->setContentsMargins(0, RowStyle::verticalPadding, 0, RowStyle::verticalPadding);

    m_handle = new QLabel(this);
    m_handle->setObjectName(QStringLiteral("dragHandle"));
    m_handle->setAccessibleName(QStringLiteral("Reorder"));
    m_handle->setAccessibleDescription(QStringLiteral("Drag, or press Alt+Up or Alt+Down"));
    RowStyle::passMouseThrough(m_handle);
    layout->addWidget(m_handle);

    if (m_preset.isDefault) {
        m_visibilityButton = RowStyle::makeSymbolButton(this, QStringLiteral("visibilityButton"));
        connect(m_visibilityButton, &QToolButton::clicked, this, [this] {
            if (m_onToggleVisibility)
                m_onToggleVisibility();
        });
        layout->addWidget(m_visibilityButton);
    } else {
        // Keeps custom names in line with built-in ones: same size, never shown.
        m_placeholder = RowStyle::makeSymbolButton(this, QStringLiteral("visibilityPlaceholder"));
        QSizePolicy policy = m_placeholder->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        m_placeholder->setSizePolicy(policy);
        m_placeholder->hide();
        layout->addWidget(m_placeholder);
    }

    auto* names = new QVBoxLayout;
    names->setSpacing(2);
    m_name = new QLabel(m_preset.name, this);
    m_name->setObjectName(QStringLiteral("nameLabel"));
    m_name->setTextFormat(Qt::PlainText);
    m_name->setFont(ViewStyle::medium(font()));
    RowStyle::passMouseThrough(m_name);
    m_dimensions = new QLabel(dimensionsText(m_preset.width, m_preset.height), this);
    m_dimensions->setObjectName(QStringLiteral("dimensionsLabel"));
    m_dimensions->setFont(ViewStyle::caption(font()));
    RowStyle::passMouseThrough(m_dimensions);
    names->addWidget(m_name);
    names->addWidget(m_dimensions);
    layout->addLayout(names);
    layout->addStretch(1);

    if (m_onDelete) {
        m_deleteButton = RowStyle::makeSymbolButton(this, QStringLiteral("deleteButton"));
        m_deleteButton->setToolTip(QStringLiteral("Delete preset"));
        m_deleteButton->setAccessibleName(QStringLiteral("Delete %1").arg(m_preset.name));
        connect(m_deleteButton, &QToolButton::clicked, this, [this] { m_onDelete(); });
        layout->addWidget(m_deleteButton);
    }

    m_shortcutField = new ShortcutField(ShortcutManager::shared(), ShortcutManager::presetId(m_preset.id), m_preset.name, this);
    layout->addWidget(m_shortcutField);

    applyPalette();
}

QString PresetRowView::dimensionsText(qint64 width, qint64 height)
{
    return QString::number(width) + QStringLiteral(" \u00d7 ") + QString::number(height);
}

void PresetRowView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
    QWidget::changeEvent(event);
}

void PresetRowView::applyPalette()
{
    // A hidden row is dimmer, but its text still reads at 4.5:1.
    const bool hidden = !m_preset.isVisible;
    const QColor secondary = ViewStyle::secondary(palette());
    const QColor faint = ViewStyle::faint(palette());
    const int extent = RowStyle::iconSize;
    // Its strokes are thinner than a pixel, so only the full text colour
    // makes them stand out at 3:1.
    m_handle->setPixmap(SymbolIcon::icon(QStringLiteral("line.3.horizontal"), palette())
                            .pixmap(QSize(extent, extent) * 3 / 4, devicePixelRatioF()));
    if (hidden)
        ViewStyle::setTextColor(m_name, secondary);
    ViewStyle::setTextColor(m_dimensions, hidden ? faint : secondary);
    if (m_visibilityButton)
        RowStyle::setVisibilityState(m_visibilityButton, m_preset.isVisible, m_preset.name);
    if (m_placeholder)
        RowStyle::setSymbol(m_placeholder, QStringLiteral("eye.fill"), Qt::transparent);
    if (m_deleteButton)
        RowStyle::setSymbol(m_deleteButton, QStringLiteral("trash"), ViewStyle::red(palette()));
}
