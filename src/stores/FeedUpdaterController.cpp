#include "stores/FeedUpdaterController.h"
#include "stores/SettingsKeys.h"

#include "stores/AppcastFeed.h"
#include "stores/VersionComparator.h"

#include <QNetworkAccessManager>

#include <algorithm>

FeedUpdaterController::Configuration FeedUpdaterController::defaultConfiguration()
{
    Configuration configuration;
    configuration.feedUrl = QUrl(QString::fromUtf8(VENTREL_FEED_URL));
    configuration.currentVersion = QString::fromUtf8(VENTREL_BUILD_NUMBER);
    configuration.currentDisplayVersion = QString::fromUtf8(VENTREL_VERSION);
    return configuration;
}

FeedUpdaterController::FeedUpdaterController(Configuration configuration, std::unique_ptr<UpdateUserDriver> userDriver,
                                             QNetworkAccessManager* network, QObject* parent)
    : UpdaterController(parent),
      m_configuration(std::move(configuration)),
      m_userDriver(std::move(userDriver)),
      m_ownNetwork(network ? nullptr : std::make_unique<QNetworkAccessManager>()),
      m_fetcher(std::make_unique<FeedFetcher>(network ? *network : *m_ownNetwork))
{
    m_settings = m_configuration.settingsFile.isEmpty()
        ? std::make_unique<QSettings>(QStringLiteral("Ventrel"), QStringLiteral("Ventrel"))
        : std::make_unique<QSettings>(m_configuration.settingsFile, QSettings::IniFormat);

    m_automaticTimer.setSingleShot(true);
    // A coarse timer may fire up to 5% early, an hour on a day; whole seconds are plenty.
    m_automaticTimer.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_automaticTimer, &QTimer::timeout, this, [this] {
        if (m_canCheck)
            startCheck(Origin::automatic);
    });

    m_canCheck = true;
    scheduleAutomaticCheck();
}

FeedUpdaterController::~FeedUpdaterController() = default;

bool FeedUpdaterController::automaticallyChecksForUpdates() const
{
    return m_settings->value(SettingsKeys::automaticUpdateChecks, false).toBool();
}

void FeedUpdaterController::setAutomaticallyChecksForUpdates(bool enabled)
{
    m_settings->setValue(SettingsKeys::automaticUpdateChecks, enabled);
    m_settings->sync();
    scheduleAutomaticCheck();
}

void FeedUpdaterController::checkForUpdates()
{
    if (m_canCheck)
        startCheck(Origin::user);
}

std::optional<QDateTime> FeedUpdaterController::lastCheckTime() const
{
    const QDateTime time = QDateTime::fromString(m_settings->value(SettingsKeys::lastUpdateCheckTime).toString(), Qt::ISODate);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<std::chrono::milliseconds> FeedUpdaterController::timeUntilAutomaticCheck() const
{
    if (!m_automaticTimer.isActive())
        return std::nullopt;
    return m_automaticTimer.remainingTimeAsDuration();
}

void FeedUpdaterController::startCheck(Origin origin)
{
    setCanCheck(false);
    if (origin == Origin::user) {
        m_userDriver->showChecking([this] {
            m_fetcher->cancel();
            setCanCheck(true);
        });
    }
    auto started = m_fetcher->start(m_configuration.feedUrl, m_configuration.limits,
                                    [this, origin](FeedFetcher::Result result) { finishCheck(origin, std::move(result)); });
    if (!started)
        finishCheck(origin, std::unexpected(started.error()));
}

void FeedUpdaterController::finishCheck(Origin origin, FeedFetcher::Result result)
{
    m_settings->setValue(SettingsKeys::lastUpdateCheckTime, m_configuration.now().toUTC().toString(Qt::ISODateWithMs));
    m_settings->sync();
    setCanCheck(true);
    scheduleAutomaticCheck();

    const std::expected<AppcastFeed, QString> feed =
        result ? AppcastFeed::parse(*result, m_configuration.feedUrl) : std::unexpected(result.error());
    if (!feed) {
        // Automatic checks stay quiet unless there is something to install.
        if (origin == Origin::user)
            m_userDriver->showFailure(feed.error());
        return;
    }
    const AppcastItem newest = *feed->newestItem();
    if (VersionComparator::compare(newest.version, m_configuration.currentVersion) > 0)
        m_userDriver->showUpdateAvailable(newest, m_configuration.currentDisplayVersion);
    else if (origin == Origin::user)
        m_userDriver->showUpToDate(m_configuration.currentDisplayVersion);
}

void FeedUpdaterController::setCanCheck(bool canCheck)
{
    if (m_canCheck == canCheck)
        return;
    m_canCheck = canCheck;
    emit canCheckForUpdatesChanged(canCheck);
}

void FeedUpdaterController::scheduleAutomaticCheck()
{
    if (!automaticallyChecksForUpdates()) {
        m_automaticTimer.stop();
        return;
    }
    using namespace std::chrono;
    milliseconds delay{0};
    if (const std::optional<QDateTime> last = lastCheckTime()) {
        const milliseconds sinceLast{last->msecsTo(m_configuration.now())};
        // A last check "in the future" means the clock was set back: wait a full interval.
        delay = sinceLast < 0ms ? duration_cast<milliseconds>(checkInterval)
                                : std::max(0ms, duration_cast<milliseconds>(checkInterval) - sinceLast);
    }
    m_automaticTimer.start(delay);
}
