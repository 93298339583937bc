#include "views/UpdateDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

UpdateDialog::UpdateDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Software Update"));

    auto* icon = new QLabel(this);
    const QIcon appIcon = QApplication::windowIcon().isNull() ? style()->standardIcon(QStyle::SP_MessageBoxInformation)
                                                              : QApplication::windowIcon();
    icon->setPixmap(appIcon.pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("titleLabel"));
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("messageLabel"));
    m_message->setWordWrap(true);
    // Both show text from the feed and the server, which must never be read as markup.
    m_title->setTextFormat(Qt::PlainText);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 0);

    auto makeButton = [this](const QString& text, const QString& name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    m_cancelButton = makeButton(QStringLiteral("Cancel"), QStringLiteral("cancelButton"));
    m_okButton = makeButton(QStringLiteral("OK"), QStringLiteral("okButton"));
    m_laterButton = makeButton(QStringLiteral("Later"), QStringLiteral("laterButton"));
    m_releaseNotesButton = makeButton(QStringLiteral("Release Notes"), QStringLiteral("releaseNotesButton"));
    m_downloadButton = makeButton(QStringLiteral("Download"), QStringLiteral("downloadButton"));

    connect(m_cancelButton, &QPushButton::clicked, this, &UpdateDialog::reject);
    connect(m_okButton, &QPushButton::clicked, this, &UpdateDialog::accept);
    connect(m_laterButton, &QPushButton::clicked, this, &UpdateDialog::accept);
    connect(m_releaseNotesButton, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(m_releaseNotesLink); });
    connect(m_downloadButton, &QPushButton::clicked, this, [this] {
        if (QDesktopServices::openUrl(m_downloadLink))
            accept();
        else
            showFailure(QStringLiteral("Could not open the web browser. The new version is at %1")
                            .arg(m_downloadLink.toString()));
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_releaseNotesButton);
    buttons->addStretch();
    for (QPushButton* b : {m_cancelButton, m_laterButton, m_okButton, m_downloadButton})
        buttons->addWidget(b);

    auto* text = new QVBoxLayout;
    text->addWidget(m_title);
    text->addWidget(m_message);
    text->addWidget(m_progress);
    text->addStretch();
    text->addLayout(buttons);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(icon);
    layout->addLayout(text, 1);
    setMinimumWidth(420);
}

void UpdateDialog::showChecking(std::function<void()> cancel)
{
    m_cancel = std::move(cancel);
    present(QStringLiteral("Checking for Updates..."), QString(), {Button::cancel});
    m_progress->show();
}

void UpdateDialog::showUpToDate(const QString& currentVersion)
{
    present(QStringLiteral("You're up to date!"),
            QStringLiteral("Ventrel %1 is the newest version available.").arg(currentVersion), {Button::ok});
}

void UpdateDialog::showUpdateAvailable(const AppcastItem& item, const QString& currentVersion)
{
    m_releaseNotesLink = item.releaseNotesLink;
    m_downloadLink = item.downloadLink;
    QString message = QStringLiteral("Ventrel %1 is now available; you have %2.").arg(item.displayVersion, currentVersion);
    if (m_downloadLink.isEmpty())
        message += QStringLiteral(" The update feed gives no download address.");
    present(QStringLiteral("A new version of Ventrel is available!"), message, {Button::later});
    m_releaseNotesButton->setVisible(!m_releaseNotesLink.isEmpty());
    m_downloadButton->setVisible(!m_downloadLink.isEmpty());
    (m_downloadLink.isEmpty() ? m_laterButton : m_downloadButton)->setDefault(true);
}

void UpdateDialog::showFailure(const QString& message)
{
    present(QStringLiteral("Update Error"), message, {Button::ok});
}

void UpdateDialog::reject()
{
    if (std::function<void()> cancel = std::exchange(m_cancel, nullptr))
        cancel();
    QDialog::reject();
}

void UpdateDialog::present(const QString& title, const QString& message, std::initializer_list<Button> buttons)
{
    // Any outcome ends the check, so cancelling no longer means anything.
    if (*buttons.begin() != Button::cancel)
        m_cancel = nullptr;
    m_title->setText(title);
    m_message->setText(message);
    m_message->setVisible(!message.isEmpty());
    m_progress->hide();
    for (Button b : {Button::cancel, Button::ok, Button::later, Button::releaseNotes, Button::download}) {
        QPushButton* widget = button(b);
        widget->setVisible(std::find(buttons.begin(), buttons.end(), b) != buttons.end());
        widget->setDefault(false);
    }
    button(*buttons.begin())->setDefault(true);
    show();
    raise();
    activateWindow();
}

QPushButton* UpdateDialog::button(Button which) const
{
    switch (which) {
    case Button::cancel:
        return m_cancelButton;
    case Button::ok:
        return m_okButton;
    case Button::later:
        return m_laterButton;
    case Button::releaseNotes:
        return m_releaseNotesButton;
    case Button::download:
        return m_downloadButton;
    }
    return m_okButton;
}
