#include "views/GeneralPane.h"

#include "stores/GeneralSettingsManager.h"
#include "stores/UpdateManager.h"
#include "views/Accessibility.h"
#include "views/FocusRing.h"
#include "views/GnomeExtensionGroup.h"
#include "views/ViewStyle.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QVBoxLayout* addGroup(QWidget* content, QVBoxLayout* column, const QString& title, const QString& description)
{
    auto* group = new QVBoxLayout;
    group->setSpacing(8);
    auto* heading = new QLabel(title, content);
    Accessibility::setRole(heading, QAccessible::Heading);
    heading->setFont(ViewStyle::headline(content->font()));
    auto* text = new QLabel(description, content);
    text->setWordWrap(true);
    text->setFont(ViewStyle::caption(content->font()));
    ViewStyle::setTextColor(text, ViewStyle::secondary(content->palette()));
    group->addWidget(heading);
    group->addWidget(text);
    column->addLayout(group);
    return group;
}

void addDivider(QWidget* content, QVBoxLayout* column)
{
    auto* line = new QFrame(content);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    column->addWidget(line);
}

} // namespace

GeneralPane::GeneralPane(GeneralSettingsManager& generalManager, UpdateManager& updateManager, QWidget* parent)
    : QWidget(parent), m_generalManager(generalManager), m_updateManager(updateManager)
{
    setObjectName(QStringLiteral("generalPane"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("generalScrollArea"));
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Not a Tab stop of its own: the controls inside are.
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    outer->addWidget(m_scrollArea);

    auto* content = new QWidget(m_scrollArea);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(24);

    if (const auto missing = GnomeExtensionGroup::needed()) {
        column->addWidget(new GnomeExtensionGroup(*missing, content));
        addDivider(content, column);
    }

    QVBoxLayout* startup = addGroup(content, column, QStringLiteral("Startup"),
                                    QStringLiteral("Automatically start Ventrel when you log in" VENTREL_LOGIN_PLACE "."));
    m_launchAtLogin = new QCheckBox(QStringLiteral("Launch at Login"), content);
    m_launchAtLogin->setObjectName(QStringLiteral("launchAtLoginToggle"));
    startup->addWidget(m_launchAtLogin, 0, Qt::AlignLeft);
    addDivider(content, column);

    QVBoxLayout* screen = addGroup(content, column, QStringLiteral("Screen"),
                                   QStringLiteral("Snap and fit windows to the screen that holds them, rather than "
                                                  "to the main screen."));
    m_windowScreen = new QCheckBox(QStringLiteral("Use the screen that holds the window"), content);
    m_windowScreen->setObjectName(QStringLiteral("windowScreenToggle"));
    screen->addWidget(m_windowScreen, 0, Qt::AlignLeft);
    addDivider(content, column);

    QVBoxLayout* updates = addGroup(content, column, QStringLiteral("Updates"),
                                    QStringLiteral("Check if a new version of Ventrel is available."));
    m_checkForUpdates = new QPushButton(QStringLiteral("Check for Updates..."), content);
    m_checkForUpdates->setObjectName(QStringLiteral("checkForUpdatesButton"));
    updates->addWidget(m_checkForUpdates, 0, Qt::AlignLeft);
    updates->addSpacing(4);
    m_automaticChecks = new QCheckBox(QStringLiteral("Automatically check for updates"), content);
    m_automaticChecks->setObjectName(QStringLiteral("automaticChecksToggle"));
    updates->addWidget(m_automaticChecks, 0, Qt::AlignLeft);
    addDivider(content, column);

    QVBoxLayout* reset = addGroup(
        content, column, QStringLiteral("Reset"),
        QStringLiteral("Restore all presets, snap positions, and settings to their original state."));
    m_reset = new QPushButton(QStringLiteral("Reset to Defaults"), content);
    m_reset->setObjectName(QStringLiteral("resetButton"));
    ViewStyle::setTextColor(m_reset, ViewStyle::red(palette()));
    reset->addWidget(m_reset, 0, Qt::AlignLeft);
    column->addStretch(1);
    m_scrollArea->setWidget(content);

    // Each control is described by the text of its group, and shows its focus plainly.
    const auto describe = [](QWidget* control, QVBoxLayout* group) {
        control->setAccessibleDescription(static_cast<QLabel*>(group->itemAt(1)->widget())->text());
        FocusRing::install(control);
    };
    describe(m_launchAtLogin, startup);
    describe(m_windowScreen, screen);
    describe(m_checkForUpdates, updates);
    describe(m_automaticChecks, updates);
    describe(m_reset, reset);

    // The toggles never set their own state: they ask the store and then show
    // what it holds, so a refused change springs back at once.
    connect(m_launchAtLogin, &QCheckBox::clicked, this, [this](bool checked) {
        m_generalManager.setLaunchAtLogin(checked);
        sync();
    });
    connect(m_windowScreen, &QCheckBox::clicked, this, [this](bool checked) {
        m_generalManager.snapPositions().setScreenChoice(checked ? ScreenChoice::window : ScreenChoice::main);
        sync();
    });
    connect(m_automaticChecks, &QCheckBox::clicked, this, [this](bool checked) {
        m_updateManager.setAutomaticallyChecksForUpdates(checked);
        sync();
    });
    connect(m_checkForUpdates, &QPushButton::clicked, this,
            [this] { m_updateManager.updaterController().checkForUpdates(); });
    connect(m_reset, &QPushButton::clicked, this, &GeneralPane::showResetAlert);

    m_sync = new DeferredRefresh([this] { sync(); }, this);
    connect(&m_generalManager, &GeneralSettingsManager::objectWillChange, m_sync, &DeferredRefresh::schedule);
    connect(&m_updateManager, &UpdateManager::objectWillChange, m_sync, &DeferredRefresh::schedule);
    connect(&m_generalManager.snapPositions(), &SnapPositionManager::objectWillChange, m_sync,
            &DeferredRefresh::schedule);
    sync();
}

void GeneralPane::showResetAlert()
{
    if (m_resetAlert)
        return;
    auto* alert = new QMessageBox(this);
    alert->setObjectName(QStringLiteral("resetAlert"));
    alert->setIcon(QMessageBox::Warning);
    alert->setWindowTitle(QStringLiteral("Reset All Settings?"));
    alert->setText(QStringLiteral("Reset All Settings?"));
    alert->setInformativeText(QStringLiteral("This will reset all presets and snap positions to their defaults."));
    QPushButton* cancel = alert->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelResetButton"));
    QPushButton* confirm = alert->addButton(QStringLiteral("Reset"), QMessageBox::DestructiveRole);
    confirm->setObjectName(QStringLiteral("confirmResetButton"));
    alert->setDefaultButton(cancel);
    alert->setEscapeButton(cancel);
    alert->setWindowModality(Qt::WindowModal);
    connect(alert, &QMessageBox::finished, alert, &QObject::deleteLater);
    connect(alert, &QMessageBox::buttonClicked, this, [this, confirm](QAbstractButton* button) {
        if (button == confirm)
            m_generalManager.resetAllSettings();
    });
    m_resetAlert = alert;
    alert->open();
}

QMessageBox* GeneralPane::resetAlert() const
{
    return m_resetAlert.data();
}

// The stores announce changes before making them; read them afterwards.
void GeneralPane::sync()
{
    m_launchAtLogin->setChecked(m_generalManager.launchAtLogin());
    m_windowScreen->setChecked(m_generalManager.snapPositions().screenChoice() == ScreenChoice::window);
    m_checkForUpdates->setEnabled(m_updateManager.canCheckForUpdates());
    m_automaticChecks->setChecked(m_updateManager.automaticallyChecksForUpdates());
}
