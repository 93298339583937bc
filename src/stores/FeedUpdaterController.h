#pragma once

#include "stores/FeedFetcher.h"
#include "stores/UpdateUserDriver.h"
#include "stores/UpdaterController.h"

#include <QDateTime>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

// Checks an appcast feed for a newer version and tells the user through its
// driver; it downloads and installs nothing. Its two settings live in the
// program's own settings file under keys of their own, and automatic checks
// run at most once a day from a single timer.
class FeedUpdaterController : public UpdaterController {
    Q_OBJECT
public:
    struct Configuration {
        QUrl feedUrl;
        // Compared with each item's "sparkle:version", so this is the build
        // number, as a bundle's version is for the feed's other readers.
        QString currentVersion;
        // Shown to the user.
        QString currentDisplayVersion;
        // An INI file; empty means the user's settings (organization and application "Ventrel").
        QString settingsFile;
        FeedFetcher::Limits limits;
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTimeUtc(); };
    };

    static constexpr std::chrono::hours checkInterval{24};

    // This build's feed address and versions, the user's settings, the default limits.
    static Configuration defaultConfiguration();

    // Starts the updater: checks may begin at once, and an automatic check is
    // scheduled when that setting is on. network defaults to one of its own.
    FeedUpdaterController(Configuration configuration, std::unique_ptr<UpdateUserDriver> userDriver,
                          QNetworkAccessManager* network = nullptr, QObject* parent = nullptr);
    ~FeedUpdaterController() override;

    bool canCheckForUpdates() const override { return m_canCheck; }
    bool automaticallyChecksForUpdates() const override;
    void setAutomaticallyChecksForUpdates(bool enabled) override;
    void checkForUpdates() override;

    // When the last check finished, if one ever did.
    std::optional<QDateTime> lastCheckTime() const;
    // How long until the scheduled automatic check, if one is scheduled.
    std::optional<std::chrono::milliseconds> timeUntilAutomaticCheck() const;

private:
    enum class Origin { user, automatic };

    void startCheck(Origin origin);
    void finishCheck(Origin origin, FeedFetcher::Result result);
    void setCanCheck(bool canCheck);
    void scheduleAutomaticCheck();

    Configuration m_configuration;
    std::unique_ptr<UpdateUserDriver> m_userDriver;
    std::unique_ptr<QNetworkAccessManager> m_ownNetwork;
    // After the network it uses, so it goes first.
    std::unique_ptr<FeedFetcher> m_fetcher;
    std::unique_ptr<QSettings> m_settings;
    QTimer m_automaticTimer;
    bool m_canCheck = false;
};
