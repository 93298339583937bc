#include "stores/FeedServer.h"
#include "stores/FeedUpdaterController.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;
using Response = FeedServer::Response;
Q_DECLARE_METATYPE(Response)

namespace {

// Records what the updater would have shown, and keeps the cancel handle.
class RecordingDriver : public UpdateUserDriver {
public:
    QStringList& calls;
    std::function<void()> cancel;

    explicit RecordingDriver(QStringList& log) : calls(log) {}
    void showChecking(std::function<void()> c) override { cancel = std::move(c), calls << "checking"; }
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

// A feed with one item per (sparkle:version, shortVersionString); plain literals, as moc misreads raw ones.
Response feed(const QList<QPair<QString, QString>>& versions)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\" "
                     "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel>\n";
    for (const auto& [version, shortVersion] : versions) {
        xml += QString("<item><sparkle:version>%1</sparkle:version><sparkle:shortVersionString>%2"
                       "</sparkle:shortVersionString><enclosure url=\"https://example.com/Ventrel-%2.tar.gz\"/></item>\n")
                   .arg(version, shortVersion)
                   .toUtf8();
    }
    return {200, xml + "</channel></rss>\n"};
}

} // namespace

class TestFeedUpdaterController : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FeedServer m_server;
    QStringList m_calls;
    RecordingDriver* m_driver = nullptr;
    const QDateTime m_now = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

    // Over the test server's /appcast.xml, with build number 120 ("1.2") and a 500 ms deadline.
    std::unique_ptr<FeedUpdaterController> updater(QNetworkAccessManager* network = nullptr, QUrl feedUrl = {})
    {
        FeedUpdaterController::Configuration c;
        c.feedUrl = feedUrl.isEmpty() ? m_server.url("/appcast.xml") : feedUrl;
        c.currentVersion = "120";
        c.currentDisplayVersion = "1.2";
        c.settingsFile = m_dir.filePath("Ventrel.conf");
        c.limits.timeout = 500ms;
        c.now = [this] { return m_now; };
        auto driver = std::make_unique<RecordingDriver>(m_calls);
        m_driver = driver.get();
        return std::make_unique<FeedUpdaterController>(c, std::move(driver), network);
    }

private slots:
    void init()
    {
        QFile::remove(m_dir.filePath("Ventrel.conf"));
        m_server.routes.clear();
        m_server.requests.clear();
        m_calls.clear();
        QVERIFY(m_server.isListening());
    }

    void userCheckShowsOutcome_data()
    {
        QTest::addColumn<Response>("response");
        QTest::addColumn<QString>("expected");
        const QByteArray twoMegabytes(2 * 1024 * 1024, 'x');
        QTest::newRow("newer") << feed({{"130", "1.3"}}) << "available 1.3 (have 1.2) https://example.com/Ventrel-1.3.tar.gz";
        QTest::newRow("same") << feed({{"120", "1.2"}}) << "up to date 1.2";
        QTest::newRow("older") << feed({{"110", "1.1"}}) << "up to date 1.2";
        QTest::newRow("out of order") << feed({{"119", "1.1.9"}, {"1000", "2.0"}, {"121", "1.2.1"}, {"99", "0.9"}})
                                      << "available 2.0 (have 1.2) https://example.com/Ventrel-2.0.tar.gz";
        QTest::newRow("malformed") << Response{200, "<rss><channel><item></channel></rss>"}
                                   << "failure The update feed is not valid XML (line 1:";
        QTest::newRow("empty body") << Response{200, ""} << "failure The update feed is empty.";
        QTest::newRow("2 MB") << Response{200, twoMegabytes} << "failure The update feed is larger than 1 MB.";
        QTest::newRow("2 MB, no length") << Response{200, twoMegabytes, {}, true, false}
                                         << "failure The update feed is larger than 1 MB.";
        QTest::newRow("never answers") << Response{200, {}, {}, false}
                                       << "failure The update server did not answer within 0.5 seconds.";
        QTest::newRow("404") << Response{404, "gone"}
                             << "failure The update server answered with HTTP status 404 (Not Found).";
        QTest::newRow("redirect off loopback")
            << Response{302, {}, "Location: http://example.com/appcast.xml\r\n"}
            << "failure The update server sent the check elsewhere. The update feed address "
               "\"http://example.com/appcast.xml\" is not secure; only https is allowed.";
    }

    void userCheckShowsOutcome()
    {
        QFETCH(Response, response);
        QFETCH(QString, expected);
        m_server.routes["/appcast.xml"] = response;
        auto updater = this->updater();
        QSignalSpy canCheck(updater.get(), &UpdaterController::canCheckForUpdatesChanged);
        QVERIFY(updater->canCheckForUpdates());

        updater->checkForUpdates();
        updater->checkForUpdates(); // ignored while the first one runs
        QTRY_VERIFY_WITH_TIMEOUT(updater->canCheckForUpdates(), 5000);

        QCOMPARE(canCheck, (QList<QVariantList>{{false}, {true}}));
        QCOMPARE(m_calls.size(), 2);
        QCOMPARE(m_calls[0], "checking");
        QVERIFY2(m_calls[1].startsWith(expected), qPrintable(m_calls[1]));
        QCOMPARE(m_server.requests, QStringList{"/appcast.xml"});
        QCOMPARE(updater->lastCheckTime(), m_now);
    }

    void insecureAddressRefusedBeforeAnyConnection_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("http elsewhere") << "http://192.0.2.10/appcast.xml";
        QTest::newRow("http by name") << "http://updates.example.com/appcast.xml";
        QTest::newRow("file") << "file:///etc/passwd";
    }

    void insecureAddressRefusedBeforeAnyConnection()
    {
        QFETCH(QString, address);
        CountingNetwork network;
        auto updater = this->updater(&network, QUrl(address));
        updater->checkForUpdates();

        QCOMPARE(network.requests, 0);
        QCOMPARE(m_calls.size(), 2);
        QVERIFY2(m_calls[1].startsWith("failure The update feed address"), qPrintable(m_calls[1]));
        QVERIFY(updater->canCheckForUpdates());
    }

    void cancelLeavesNoTrace()
    {
        m_server.routes["/appcast.xml"] = Response{200, {}, {}, false};
        auto updater = this->updater();
        updater->checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requests.size(), 1, 5000);
        m_driver->cancel();
        QVERIFY(updater->canCheckForUpdates());
        QTest::qWait(700); // past the deadline: nothing more is reported
        QCOMPARE(m_calls, QStringList{"checking"});
        QCOMPARE(updater->lastCheckTime(), std::nullopt);
    }

    void automaticChecksRunAtMostOnceADay_data()
    {
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<int>("hoursSinceLastCheck"); // -1: never checked
        QTest::addColumn<int>("expectedMinutes");     // -1: nothing scheduled
        QTest::newRow("off") << false << 30 << -1;
        QTest::newRow("never checked") << true << -1 << 0;
        QTest::newRow("2 hours ago") << true << 2 << 22 * 60;
        QTest::newRow("30 hours ago") << true << 30 << 0;
        QTest::newRow("clock set back") << true << -48 << 24 * 60;
    }

    void automaticChecksRunAtMostOnceADay()
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
        const auto delay = updater()->timeUntilAutomaticCheck();
        if (expectedMinutes < 0)
            QCOMPARE(delay, std::nullopt);
        else
            QVERIFY2(delay && std::chrono::abs(*delay - std::chrono::minutes(expectedMinutes)) < 1s,
                     qPrintable(QString::number(delay.value_or(-1ms).count())));
    }

    void automaticCheckShowsOnlyNewerVersions_data()
    {
        QTest::addColumn<Response>("response");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("newer") << feed({{"200", "2.0"}})
                               << QStringList{"available 2.0 (have 1.2) https://example.com/Ventrel-2.0.tar.gz"};
        QTest::newRow("same") << feed({{"120", "1.2"}}) << QStringList{};
        QTest::newRow("404") << Response{404} << QStringList{};
    }

    void automaticCheckShowsOnlyNewerVersions()
    {
        QFETCH(Response, response);
        QFETCH(QStringList, expected);
        m_server.routes["/appcast.xml"] = response;
        auto updater = this->updater();
        QSignalSpy canCheck(updater.get(), &UpdaterController::canCheckForUpdatesChanged);

        updater->setAutomaticallyChecksForUpdates(true);
        QTRY_COMPARE_WITH_TIMEOUT(canCheck.size(), 2, 5000);

        QCOMPARE(m_calls, expected);
        QCOMPARE(m_server.requests.size(), 1);
        QCOMPARE(updater->lastCheckTime(), m_now);
        QVERIFY(updater->timeUntilAutomaticCheck() > std::chrono::milliseconds(23h));
    }

    void settingsAreReadableAndSurviveARestart()
    {
        updater()->setAutomaticallyChecksForUpdates(true);
        QVERIFY(updater()->automaticallyChecksForUpdates());
        QFile file(m_dir.filePath("Ventrel.conf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "[Updater]\nautomaticallyChecksForUpdates=true\n");
    }
};

QTEST_GUILESS_MAIN(TestFeedUpdaterController)
#include "tst_feedupdatercontroller.moc"
