#include "stores/FeedServer.h"
#include "stores/FeedUpdaterController.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTest>

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(FeedServer::Response)

namespace {

// Shows nothing: records what the updater would have shown, and keeps the
// cancel handle of a running check.
class RecordingDriver : public UpdateUserDriver {
public:
    QStringList& calls;
    std::function<void()> cancel;

    explicit RecordingDriver(QStringList& log) : calls(log) {}
    void showChecking(std::function<void()> c) override
    {
        cancel = std::move(c);
        calls << "checking";
    }
    void showUpToDate(const QString& version) override { calls << "up to date " + version; }
    void showUpdateAvailable(const AppcastItem& item, const QString& version) override
    {
        calls << QString("available %1 (have %2) %3").arg(item.displayVersion, version, item.downloadLink.toString());
    }
    void showFailure(const QString& message) override { calls << "failure " + message; }
};

// Counts the requests that reach the network stack.
class CountingNetwork : public QNetworkAccessManager {
public:
    int requests = 0;

protected:
    QNetworkReply* createRequest(Operation op, const QNetworkRequest& request, QIODevice* data) override
    {
        ++requests;
        return QNetworkAccessManager::createRequest(op, request, data);
    }
};

QByteArray feed(const QList<QPair<QString, QString>>& versions)
{
    // Plain literals: moc misreads raw ones.
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                     "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">\n"
                     "<channel><title>Ventrel</title>\n";
    for (const auto& [version, shortVersion] : versions) {
        xml += QString("<item><title>Version %2</title>\n"
                       "<sparkle:version>%1</sparkle:version><sparkle:shortVersionString>%2</sparkle:shortVersionString>\n"
                       "<sparkle:releaseNotesLink>https://example.com/notes/%2.html</sparkle:releaseNotesLink>\n"
                       "<enclosure url=\"https://example.com/Ventrel-%2.tar.gz\" length=\"1000\" type=\"application/octet-stream\"/>\n"
                       "</item>\n")
                   .arg(version, shortVersion)
                   .toUtf8();
    }
    return xml + "</channel></rss>\n";
}

} // namespace

class TestFeedUpdaterController : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FeedServer m_server;
    QDateTime m_now = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

    FeedUpdaterController::Configuration configuration(const QString& path)
    {
        FeedUpdaterController::Configuration c;
        c.feedUrl = m_server.url(path);
        c.currentVersion = "120";
        c.currentDisplayVersion = "1.2";
        c.settingsFile = m_dir.filePath("Ventrel.conf");
        c.limits.timeout = 500ms;
        c.now = [this] { return m_now; };
        return c;
    }

private slots:
    void init()
    {
        QFile::remove(m_dir.filePath("Ventrel.conf"));
        m_server.routes.clear();
        m_server.requests.clear();
        QVERIFY(m_server.isListening());
    }

    void userCheckShowsOutcome_data()
    {
        QTest::addColumn<FeedServer::Response>("response");
        QTest::addColumn<QString>("expected");

        const auto ok = [](const QByteArray& body) { return FeedServer::Response{200, body, {}, true, true}; };
        QTest::newRow("newer") << ok(feed({{"130", "1.3"}}))
                               << "available 1.3 (have 1.2) https://example.com/Ventrel-1.3.tar.gz";
        QTest::newRow("same") << ok(feed({{"120", "1.2"}})) << "up to date 1.2";
        QTest::newRow("older") << ok(feed({{"110", "1.1"}})) << "up to date 1.2";
        QTest::newRow("out of order") << ok(feed({{"119", "1.1.9"}, {"1000", "2.0"}, {"121", "1.2.1"}, {"99", "0.9"}}))
                                      << "available 2.0 (have 1.2) https://example.com/Ventrel-2.0.tar.gz";
        QTest::newRow("malformed") << ok("<rss><channel><item></channel></rss>")
                                   << "failure The update feed is not valid XML (line 1:";
        QTest::newRow("empty body") << ok("") << "failure The update feed is empty.";
        QTest::newRow("html page") << ok("<html><body>Moved</body></html>") << "failure The update feed is not an RSS feed.";
        QTest::newRow("2 MB") << ok(QByteArray(2 * 1024 * 1024, 'x'))
                              << "failure The update feed is larger than 1 MB.";
        QTest::newRow("2 MB, no length") << FeedServer::Response{200, QByteArray(2 * 1024 * 1024, 'x'), {}, true, false}
                                         << "failure The update feed is larger than 1 MB.";
        QTest::newRow("never answers") << FeedServer::Response{200, {}, {}, false, true}
                                       << "failure The update server did not answer within 0.5 seconds.";
        QTest::newRow("404") << FeedServer::Response{404, "gone", {}, true, true}
                             << "failure The update server answered with HTTP status 404 (Not Found).";
        QTest::newRow("redirect off loopback")
            << FeedServer::Response{302, {}, "Location: http://example.com/appcast.xml\r\n", true, true}
            << "failure The update server sent the check elsewhere. The update feed address "
               "\"http://example.com/appcast.xml\" is not secure; only https is allowed.";
    }

    void userCheckShowsOutcome()
    {
        QFETCH(FeedServer::Response, response);
        QFETCH(QString, expected);
        m_server.routes["/appcast.xml"] = response;
        QStringList calls;
        FeedUpdaterController updater(configuration("/appcast.xml"), std::make_unique<RecordingDriver>(calls));
        QSignalSpy canCheck(&updater, &UpdaterController::canCheckForUpdatesChanged);
        QVERIFY(updater.canCheckForUpdates());

        updater.checkForUpdates();
        QVERIFY(!updater.canCheckForUpdates());
        QTRY_VERIFY_WITH_TIMEOUT(updater.canCheckForUpdates(), 5000);

        QCOMPARE(canCheck, (QList<QVariantList>{{false}, {true}}));
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[0], "checking");
        QVERIFY2(calls[1].startsWith(expected), qPrintable(calls[1]));
        QCOMPARE(m_server.requests, QStringList{"/appcast.xml"});
        QCOMPARE(updater.lastCheckTime(), m_now);
    }

    void redirectWithinLoopbackIsFollowed()
    {
        m_server.routes["/old.xml"] = {302, {}, "Location: /appcast.xml\r\n", true, true};
        m_server.routes["/appcast.xml"] = {200, feed({{"121", "1.2.1"}}), {}, true, true};
        QStringList calls;
        FeedUpdaterController updater(configuration("/old.xml"), std::make_unique<RecordingDriver>(calls));
        updater.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(calls.size(), 2, 5000);
        QCOMPARE(calls[1], "available 1.2.1 (have 1.2) https://example.com/Ventrel-1.2.1.tar.gz");
        QCOMPARE(m_server.requests, (QStringList{"/old.xml", "/appcast.xml"}));
    }

    void insecureAddressRefusedBeforeAnyConnection_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("http elsewhere") << "http://192.0.2.10/appcast.xml";
        QTest::newRow("http by name") << "http://updates.example.com/appcast.xml";
        QTest::newRow("ftp") << "ftp://127.0.0.1/appcast.xml";
        QTest::newRow("file") << "file:///etc/passwd";
    }

    void insecureAddressRefusedBeforeAnyConnection()
    {
        QFETCH(QString, address);
        CountingNetwork network;
        QStringList calls;
        auto config = configuration("/unused");
        config.feedUrl = QUrl(address);
        FeedUpdaterController updater(config, std::make_unique<RecordingDriver>(calls), &network);
        QSignalSpy canCheck(&updater, &UpdaterController::canCheckForUpdatesChanged);

        updater.checkForUpdates();

        QCOMPARE(network.requests, 0);
        QCOMPARE(calls.size(), 2);
        QVERIFY2(calls[1].startsWith("failure The update feed address"), qPrintable(calls[1]));
        QVERIFY(updater.canCheckForUpdates());
        QCOMPARE(canCheck.size(), 2);
    }

    void cancelStopsTheCheck()
    {
        m_server.routes["/appcast.xml"] = {200, {}, {}, false, true};
        QStringList calls;
        auto driver = std::make_unique<RecordingDriver>(calls);
        RecordingDriver* recorder = driver.get();
        auto config = configuration("/appcast.xml");
        config.limits.timeout = 200ms;
        FeedUpdaterController updater(config, std::move(driver));

        updater.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requests.size(), 1, 5000);
        recorder->cancel();
        QVERIFY(updater.canCheckForUpdates());
        // Well past the deadline: a cancelled check reports nothing and leaves no trace.
        QTest::qWait(400);
        QCOMPARE(calls, QStringList{"checking"});
        QCOMPARE(updater.lastCheckTime(), std::nullopt);
    }

    void automaticScheduleKeepsOncePerDay_data()
    {
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<int>("hoursSinceLastCheck"); // negative: never checked
        QTest::addColumn<int>("expectedMinutes");     // negative: nothing scheduled

        QTest::newRow("off") << false << 30 << -1;
        QTest::newRow("never checked") << true << -1 << 0;
        QTest::newRow("2 hours ago") << true << 2 << 22 * 60;
        QTest::newRow("30 hours ago") << true << 30 << 0;
        QTest::newRow("clock set back") << true << -48 << 24 * 60;
    }

    void automaticScheduleKeepsOncePerDay()
    {
        QFETCH(bool, automatic);
        QFETCH(int, hoursSinceLastCheck);
        QFETCH(int, expectedMinutes);
        {
            QSettings settings(m_dir.filePath("Ventrel.conf"), QSettings::IniFormat);
            settings.setValue(FeedUpdaterController::automaticChecksKey, automatic);
            if (hoursSinceLastCheck != -1)
                settings.setValue(FeedUpdaterController::lastCheckTimeKey,
                                  m_now.addSecs(-3600 * hoursSinceLastCheck).toString(Qt::ISODate));
        }
        QStringList calls;
        // Nothing answers this route, so a check that starts stays in flight.
        m_server.routes["/appcast.xml"] = {200, {}, {}, false, true};
        FeedUpdaterController updater(configuration("/appcast.xml"), std::make_unique<RecordingDriver>(calls));

        const auto delay = updater.timeUntilAutomaticCheck();
        if (expectedMinutes < 0) {
            QCOMPARE(delay, std::nullopt);
            return;
        }
        QVERIFY(delay.has_value());
        const auto expected = std::chrono::minutes(expectedMinutes);
        QVERIFY2(*delay < expected + 1s && *delay > expected - 1s, qPrintable(QString::number(delay->count())));
    }

    void automaticCheckShowsOnlyNewerVersions_data()
    {
        QTest::addColumn<FeedServer::Response>("response");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("newer") << FeedServer::Response{200, feed({{"200", "2.0"}}), {}, true, true}
                               << QStringList{"available 2.0 (have 1.2) https://example.com/Ventrel-2.0.tar.gz"};
        QTest::newRow("same") << FeedServer::Response{200, feed({{"120", "1.2"}}), {}, true, true} << QStringList{};
        QTest::newRow("404") << FeedServer::Response{404, {}, {}, true, true} << QStringList{};
        QTest::newRow("malformed") << FeedServer::Response{200, "<rss", {}, true, true} << QStringList{};
    }

    void automaticCheckShowsOnlyNewerVersions()
    {
        QFETCH(FeedServer::Response, response);
        QFETCH(QStringList, expected);
        m_server.routes["/appcast.xml"] = response;
        QStringList calls;
        FeedUpdaterController updater(configuration("/appcast.xml"), std::make_unique<RecordingDriver>(calls));
        QSignalSpy canCheck(&updater, &UpdaterController::canCheckForUpdatesChanged);

        updater.setAutomaticallyChecksForUpdates(true);
        QTRY_COMPARE_WITH_TIMEOUT(canCheck.size(), 2, 5000);

        QCOMPARE(calls, expected);
        QCOMPARE(m_server.requests.size(), 1);
        QCOMPARE(updater.lastCheckTime(), m_now);
        // The next one is a day away, whatever the outcome.
        QVERIFY(updater.timeUntilAutomaticCheck() > std::chrono::milliseconds(23h));
    }

    void settingsPersistUnderTheirOwnKeys()
    {
        m_server.routes["/appcast.xml"] = {200, feed({{"120", "1.2"}}), {}, true, true};
        QStringList calls;
        {
            FeedUpdaterController updater(configuration("/appcast.xml"), std::make_unique<RecordingDriver>(calls));
            QVERIFY(!updater.automaticallyChecksForUpdates());
            updater.setAutomaticallyChecksForUpdates(true);
            updater.setAutomaticallyChecksForUpdates(false);
            updater.setAutomaticallyChecksForUpdates(true);
            QCOMPARE(updater.timeUntilAutomaticCheck(), 0ms);
            QTRY_COMPARE_WITH_TIMEOUT(m_server.requests.size(), 1, 5000);
            QTRY_VERIFY(updater.lastCheckTime().has_value());
        }
        FeedUpdaterController reopened(configuration("/appcast.xml"), std::make_unique<RecordingDriver>(calls));
        QVERIFY(reopened.automaticallyChecksForUpdates());
        QCOMPARE(reopened.lastCheckTime(), m_now);

        QFile file(m_dir.filePath("Ventrel.conf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("[Updater]\n"), text.constData());
        QVERIFY2(text.contains("automaticallyChecksForUpdates=true\n"), text.constData());
        QVERIFY2(text.contains("lastCheckTime=2026-03-01T12:00:00.000Z\n"), text.constData());
    }
};

QTEST_GUILESS_MAIN(TestFeedUpdaterController)
#include "tst_feedupdatercontroller.moc"
