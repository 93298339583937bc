#pragma once

#include "stores/UpdateUserDriver.h"

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// The appcast updater's one window: the running check, then its outcome. A
// newer version is fetched by the browser; nothing is downloaded here.
class UpdateDialog : public QDialog, public UpdateUserDriver {
    Q_OBJECT
public:
    explicit UpdateDialog(QWidget* parent = nullptr);

    void showChecking(std::function<void()> cancel) override;
    void showUpToDate(const QString& currentVersion) override;
    void showUpdateAvailable(const AppcastItem& item, const QString& currentVersion) override;
    void showFailure(const QString& message) override;

    // Closing the window while a check runs cancels the check.
    void reject() override;

private:
    enum class Button { cancel, ok, later, releaseNotes, download };
    void present(const QString& title, const QString& message, std::initializer_list<Button> buttons);
    QPushButton* button(Button which) const;

    QLabel* m_title;
    QLabel* m_message;
    QProgressBar* m_progress;
    QPushButton* m_cancelButton;
    QPushButton* m_okButton;
    QPushButton* m_laterButton;
    QPushButton* m_releaseNotesButton;
    QPushButton* m_downloadButton;
    std::function<void()> m_cancel;
    QUrl m_releaseNotesLink;
    QUrl m_downloadLink;
};
