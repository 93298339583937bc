#include "views/PresetsPane.h"

#include "stores/PresetManager.h"
#include "stores/ShortcutManager.h"
#include "views/BindingLinesBox.h"
#include "views/Accessibility.h"
#include "views/FocusRing.h"
#include "views/PresetListModel.h"
#include "views/PresetListView.h"
#include "views/PresetRowView.h"
#include "views/RowFocus.h"
#include "views/SymbolIcon.h"
#include "views/ViewStyle.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>

namespace {

// Space separators and tab; line breaks are not white space for the name check.
bool isNameSpace(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QFrame* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

PresetsPane::PresetsPane(PresetManager& presetManager, QWidget* parent)
    : QWidget(parent), m_presetManager(presetManager)
{
    setObjectName(QStringLiteral("presetsPane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_list = new PresetListView(this);
    m_model = new PresetListModel(this);
    m_list->setModel(m_model);
    {
        const PresetRowView sample(WindowPreset::defaultPresets().constFirst(), [] {}, [] {});
        m_model->setRowHeight(sample.sizeHint().height());
    }
    connect(m_model, &PresetListModel::moveRequested, this,
            [this](const QList<int>& rows, int destination) { movePresets(rows, destination); });
    connect(m_list, &PresetListView::stepRequested, this, [this](int row, int delta) {
        // Down by one lands before the row after the next.
        const int destination = delta < 0 ? row - 1 : row + 2;
        if (destination >= 0 && destination <= rowCount())
            movePresets({row}, destination);
    });
    layout->addWidget(m_list, 1);
    layout->addWidget(new BindingLinesBox(ShortcutManager::shared(), this));
    layout->addWidget(divider(this));

    m_addArea = new QWidget(this);
    auto* addLayout = new QHBoxLayout(m_addArea);
    addLayout->setContentsMargins(12, 12, 12, 12);
    m_addPresetButton = new QPushButton(QStringLiteral("Add Preset"), m_addArea);
    m_addPresetButton->setObjectName(QStringLiteral("addPresetButton"));
    m_addPresetButton->setFlat(true);
    FocusRing::install(m_addPresetButton);
    connect(m_addPresetButton, &QPushButton::clicked, this, &PresetsPane::showAddForm);
    addLayout->addWidget(m_addPresetButton, 0, Qt::AlignHCenter);
    layout->addWidget(m_addArea);

    m_form = buildAddForm();
    m_form->hide();
    layout->addWidget(m_form);

    m_refresh = new DeferredRefresh([this] { refresh(); }, this);
    connect(&m_presetManager, &PresetManager::objectWillChange, m_refresh, &DeferredRefresh::schedule);
    applyPalette();
    refresh();
    updateAddButton();
}

QWidget* PresetsPane::buildAddForm()
{
    auto* form = new QFrame(this);
    form->setObjectName(QStringLiteral("addPresetForm"));
    form->setAutoFillBackground(true);
    form->setBackgroundRole(QPalette::Base);
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);

    auto* header = new QHBoxLayout;
    auto* title = new QLabel(QStringLiteral("New Preset"), form);
    Accessibility::setRole(title, QAccessible::Heading);
    title->setFont(ViewStyle::subheadlineMedium(font()));
    header->addWidget(title);
    header->addStretch(1);
    m_closeButton = new QToolButton(form);
    m_closeButton->setObjectName(QStringLiteral("closeFormButton"));
    m_closeButton->setAutoRaise(true);
    FocusRing::install(m_closeButton);
    m_closeButton->setAccessibleName(QStringLiteral("Close"));
    connect(m_closeButton, &QToolButton::clicked, this, &PresetsPane::resetNewPresetForm);
    header->addWidget(m_closeButton);
    layout->addLayout(header);

    // Labels above the fields stay when the placeholders vanish on typing.
    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->setVerticalSpacing(2);
    const auto addField = [&](QLineEdit*& field, const char* name, const QString& text, int column) {
        field = new QLineEdit(form);
        field->setObjectName(QLatin1String(name));
        field->setPlaceholderText(text);
        auto* label = new QLabel(text, form);
        label->setFont(ViewStyle::caption(font()));
        label->setBuddy(field);
        fields->addWidget(label, 0, column);
        fields->addWidget(field, 1, column);
        connect(field, &QLineEdit::textChanged, this, &PresetsPane::updateAddButton);
        connect(field, &QLineEdit::returnPressed, this, [this] {
            if (isFormValid())
                submitNewPreset();
        });
    };
    addField(m_nameField, "nameField", QStringLiteral("Name"), 0);
    m_nameField->setMinimumWidth(120);
    addField(m_widthField, "widthField", QStringLiteral("Width"), 1);
    m_widthField->setFixedWidth(70);
    m_times = new QLabel(QStringLiteral("\u00d7"), form);
    fields->addWidget(m_times, 1, 2);
    addField(m_heightField, "heightField", QStringLiteral("Height"), 3);
    m_heightField->setFixedWidth(70);
    m_submitButton = new QPushButton(QStringLiteral("Add"), form);
    m_submitButton->setObjectName(QStringLiteral("submitPresetButton"));
    m_submitButton->setDefault(true);
    connect(m_submitButton, &QPushButton::clicked, this, &PresetsPane::submitNewPreset);
    fields->addWidget(m_submitButton, 1, 4);
    fields->setColumnStretch(0, 1);
    layout->addLayout(fields);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), form);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &PresetsPane::resetNewPresetForm);

    m_errorLabel = new QLabel(form);
    // An alert, so that a screen reader speaks it as it appears.
    Accessibility::setRole(m_errorLabel, QAccessible::AlertMessage);
    m_errorLabel->setObjectName(QStringLiteral("errorLabel"));
    m_errorLabel->setTextFormat(Qt::PlainText);
    m_errorLabel->setWordWrap(true);
    m_errorLabel->setFont(ViewStyle::caption(font()));
    m_errorLabel->setAlignment(Qt::AlignCenter);
    m_errorLabel->hide();
    layout->addWidget(m_errorLabel);
    return form;
}

void PresetsPane::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
    QWidget::changeEvent(event);
}

// Symbols and colours come from the palette, so they follow a theme change.
void PresetsPane::applyPalette()
{
    m_addPresetButton->setIcon(SymbolIcon::icon(QStringLiteral("plus"), palette()));
    m_closeButton->setIcon(SymbolIcon::tinted(QStringLiteral("xmark.circle.fill"), ViewStyle::secondary(palette())));
    ViewStyle::setTextColor(m_times, ViewStyle::secondary(palette()));
    ViewStyle::setTextColor(m_errorLabel, ViewStyle::red(palette()));
}

std::optional<qint64> PresetsPane::parseInteger(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulate towards the sign so that the most negative value still fits.
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        if (negative) {
            if (value < (std::numeric_limits<qint64>::min() + digit) / 10)
                return std::nullopt;
            value = value * 10 - digit;
        } else {
            if (value > (std::numeric_limits<qint64>::max() - digit) / 10)
                return std::nullopt;
            value = value * 10 + digit;
        }
    }
    return value;
}

bool PresetsPane::isFormValid(const QString& name, const QString& width, const QString& height)
{
    const bool hasName = std::any_of(name.begin(), name.end(), [](QChar c) { return !isNameSpace(c); });
    if (!hasName)
        return false;
    // The store's own range, tested here so that Add is never offered for a size it refuses.
    const auto inRange = [](const std::optional<qint64>& v) { return v && PresetManager::isValidDimension(*v); };
    return inRange(parseInteger(width)) && inRange(parseInteger(height));
}

bool PresetsPane::isFormValid() const
{
    return isFormValid(m_nameField->text(), m_widthField->text(), m_heightField->text());
}

bool PresetsPane::isAddFormShown() const
{
    return !m_form->isHidden();
}

void PresetsPane::showAddForm()
{
    m_addArea->hide();
    m_form->show();
    m_nameField->setFocus();
}

void PresetsPane::submitNewPreset()
{
    const auto width = parseInteger(m_widthField->text());
    if (!width)
        return;
    const auto height = parseInteger(m_heightField->text());
    if (!height)
        return;
    // The name goes as typed: the store trims it and checks it.
    const auto added = m_presetManager.addPreset(m_nameField->text(), *width, *height);
    if (added) {
        resetNewPresetForm();
        return;
    }
    showError(errorDescription(added.error()));
}

void PresetsPane::showError(const QString& message)
{
    if (message.isEmpty()) {
        m_errorLabel->clear();
        m_errorLabel->hide();
        return;
    }
    m_errorLabel->setText(message);
    m_errorLabel->show();
    QAccessibleEvent alert(m_errorLabel, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void PresetsPane::resetNewPresetForm()
{
    const bool hadFocus = m_form->isAncestorOf(QApplication::focusWidget());
    m_form->hide();
    m_addArea->show();
    if (hadFocus)
        m_addPresetButton->setFocus(Qt::OtherFocusReason);
    m_nameField->clear();
    m_widthField->clear();
    m_heightField->clear();
    m_errorLabel->clear();
    m_errorLabel->hide();
}

QString PresetsPane::errorMessage() const
{
    return m_errorLabel->isHidden() ? QString() : m_errorLabel->text();
}

void PresetsPane::updateAddButton()
{
    m_submitButton->setEnabled(isFormValid());
    // Numbers the store would refuse say why Add is off, in the store's words.
    const auto width = parseInteger(m_widthField->text());
    const auto height = parseInteger(m_heightField->text());
    const QString rangeMessage = errorDescription(PresetError::invalidDimensions);
    if (width && height && !(PresetManager::isValidDimension(*width) && PresetManager::isValidDimension(*height))) {
        if (errorMessage() != rangeMessage)
            showError(rangeMessage);
    } else if (errorMessage() == rangeMessage) {
        showError({});
    }
}

void PresetsPane::movePresets(const QList<int>& sourceOffsets, int destination)
{
    const QList<WindowPreset> moved =
        movePresets(m_presetManager.presetsInDisplayOrder(), sourceOffsets, destination);
    QList<QUuid> ids;
    ids.reserve(moved.size());
    for (const WindowPreset& preset : moved)
        ids.append(preset.id);
    m_presetManager.reorderPresets(ids);
}

int PresetsPane::rowCount() const
{
    return m_model->rowCount();
}

PresetRowView* PresetsPane::rowView(int row) const
{
    return qobject_cast<PresetRowView*>(m_list->indexWidget(m_model->index(row)));
}

void PresetsPane::refresh()
{
    const RowFocus focus = RowFocus::save(m_list);
    m_model->setPresets(m_presetManager.presetsInDisplayOrder());
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const WindowPreset& preset = m_model->presets().at(row);
        const QUuid id = preset.id;
        std::function<void()> onDelete;
        if (!preset.isDefault)
            onDelete = [this, id] { (void)m_presetManager.deletePreset(id); };
        auto* rowView = new PresetRowView(preset, [this, id] { m_presetManager.togglePresetVisibility(id); },
                                          std::move(onDelete), m_list->viewport());
        m_list->setIndexWidget(m_model->index(row), rowView);
    }
    RowFocus::chainTabOrder(m_list);
    focus.restore(m_list);
}
