#include "views/SettingsView.h"

#include "stores/GeneralSettingsManager.h"
#include "stores/PresetManager.h"
#include "stores/SnapPositionManager.h"
#include "stores/UpdateManager.h"
#include "views/Accessibility.h"
#include "views/GeneralPane.h"
#include "views/PresetsPane.h"
#include "views/SelectionDelegate.h"
#include "views/SnapPositionsPane.h"
#include "views/SymbolIcon.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QListWidget>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

SettingsView::Stores SettingsView::Stores::shared()
{
    return {
        [] () -> PresetManager& { return PresetManager::shared(); },
        [] () -> SnapPositionManager& { return SnapPositionManager::shared(); },
        [] () -> GeneralSettingsManager& { return GeneralSettingsManager::shared(); },
        [] () -> UpdateManager& { return UpdateManager::shared(); },
    };
}

SettingsView::SettingsView(SettingsSection initialSection, Stores stores, QWidget* parent)
    : QWidget(parent), m_stores(std::move(stores)), m_selectedSection(initialSection)
{
    Accessibility::setRole(this, QAccessible::Window);
    setObjectName(QStringLiteral("settingsView"));
    setWindowTitle(QStringLiteral("Settings"));
    setFixedSize(windowSize);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* sidebarColumn = new QWidget(this);
    sidebarColumn->setFixedWidth(sidebarWidth);
    sidebarColumn->setAutoFillBackground(true);
    sidebarColumn->setBackgroundRole(QPalette::Base);
    auto* sidebarLayout = new QVBoxLayout(sidebarColumn);
    sidebarLayout->setContentsMargins(8, 8, 8, 8);
    m_sidebar = new QListWidget(sidebarColumn);
    m_sidebar->setObjectName(QStringLiteral("sidebar"));
    m_sidebar->setAccessibleName(QStringLiteral("Sections"));
    m_sidebar->setFrameShape(QFrame::NoFrame);
    m_sidebar->setItemDelegate(new SelectionDelegate(m_sidebar));
    m_sidebar->setSelectionMode(QAbstractItemView::SingleSelection);
    m_sidebar->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sidebar->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sidebar->setIconSize(QSize(18, 18));
    m_sidebar->setSpacing(1);
    for (SettingsSection section : SettingsSection::allCases()) {
        auto* item = new QListWidgetItem(SymbolIcon::icon(section.iconName(), palette()), section.rawValue(), m_sidebar);
        item->setData(Qt::UserRole, int(section.value()));
        item->setSizeHint(QSize(0, 30));
    }
    sidebarLayout->addWidget(m_sidebar);
    layout->addWidget(sidebarColumn);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    layout->addWidget(separator);

    m_detail = new QWidget(this);
    m_detail->setObjectName(QStringLiteral("detail"));
    m_detailLayout = new QVBoxLayout(m_detail);
    m_detailLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_detail, 1);

    m_sidebar->setCurrentRow(int(m_selectedSection.value()));
    connect(m_sidebar, &QListWidget::itemSelectionChanged, this, &SettingsView::onSidebarSelectionChanged);
    showPane();

    auto* closeShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
    connect(closeShortcut, &QShortcut::activated, this, [this] { window()->close(); });
}

void SettingsView::changeEvent(QEvent* event)
{
    // The sidebar symbols are tinted with the text colour: follow a theme change.
    if (event->type() == QEvent::PaletteChange) {
        for (int row = 0; row < m_sidebar->count(); ++row)
            m_sidebar->item(row)->setIcon(SymbolIcon::icon(SettingsSection::allCases().at(row).iconName(), palette()));
    }
    QWidget::changeEvent(event);
}

void SettingsView::selectSection(SettingsSection section)
{
    m_sidebar->setCurrentRow(int(section.value()));
}

void SettingsView::onSidebarSelectionChanged()
{
    const QList<QListWidgetItem*> selected = m_sidebar->selectedItems();
    if (selected.isEmpty()) {
        // There is always a selected section: undo a deselection.
        const QSignalBlocker blocker(m_sidebar);
        m_sidebar->setCurrentRow(int(m_selectedSection.value()));
        m_sidebar->viewport()->update();
        return;
    }
    const SettingsSection section = SettingsSection::allCases().at(selected.first()->data(Qt::UserRole).toInt());
    if (section == m_selectedSection && m_pane)
        return;
    m_selectedSection = section;
    showPane();
}

void SettingsView::showPane()
{
    if (m_pane) {
        m_detailLayout->removeWidget(m_pane);
        m_pane->hide();
        m_pane->deleteLater();
    }
    m_pane = buildPane(m_selectedSection);
    m_detailLayout->addWidget(m_pane, 1);
    m_pane->show();
}

QWidget* SettingsView::buildPane(SettingsSection section)
{
    switch (section.value()) {
    case SettingsSection::general:
        return new GeneralPane(m_stores.generalManager(), m_stores.updateManager(), m_detail);
    case SettingsSection::presets:
        return new PresetsPane(m_stores.presetManager(), m_detail);
    case SettingsSection::snapPositions:
        return new SnapPositionsPane(m_stores.snapPositionManager(), m_detail);
    }
    return new QWidget(m_detail);
}
