#include "views/BindingLinesBox.h"

#include "stores/ShortcutManager.h"
#include "views/DeferredRefresh.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

BindingLinesBox::BindingLinesBox(ShortcutManager& store, QWidget* parent) : QWidget(parent), m_store(store)
{
    setObjectName(QStringLiteral("bindingLines"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);
    auto* top = new QHBoxLayout;
    m_caption = new QLabel(this);
    m_caption->setWordWrap(true);
    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setAccessibleName(QStringLiteral("Copy the lines"));
    top->addWidget(m_caption, 1);
    top->addWidget(copy);
    layout->addLayout(top);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setMaximumHeight(90);
    m_text->setAccessibleName(QStringLiteral("Lines for the window manager's configuration"));
    layout->addWidget(m_text);
    m_caption->setBuddy(m_text);
    connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(m_text->toPlainText()); });

    auto* refresher = new DeferredRefresh([this] { refresh(); }, this);
    connect(&m_store, &ShortcutManager::objectWillChange, refresher, &DeferredRefresh::schedule);
    connect(&m_store, &ShortcutManager::statusChanged, refresher, &DeferredRefresh::schedule);
    refresh();
}

void BindingLinesBox::refresh()
{
    const QString dialect = m_store.bindingDialect();
    setVisible(!dialect.isEmpty());
    if (dialect.isEmpty())
        return;
    const QStringList lines = m_store.bindingLines();
    m_caption->setText(lines.isEmpty()
                           ? QStringLiteral("%1 binds keys itself. Set shortcuts above, then add the lines shown "
                                            "here to ~/.config/%1/config.").arg(dialect)
                           : QStringLiteral("%1 binds keys itself. Add these lines to ~/.config/%1/config and "
                                            "reload it:").arg(dialect));
    m_text->setPlainText(lines.join(u'\n'));
    m_text->setVisible(!lines.isEmpty());
}
