#include "FeedServer.h"
#include "SettingsFile.h"
#include "stores/FeedUpdaterController.h"
#include "stores/SettingsKeys.h"
#include "stores/UpdateManager.h"
#include "views/UpdateDialog.h"

#include <QLabel>
#include <QTest>

using namespace std::chrono_literals;
using Response = FeedServer::Response;
Q_DECLARE_METATYPE(Response)

namespace {

// The real dialog, recording what it was asked to show and keeping the cancel handle.
struct RecordingDriver : UpdateDialog {
    QStringList& calls;
    std::function<void()> cancel;
    explicit RecordingDriver(QStringList& log) : calls(log) {}
    void showChecking(std::function<void()> c) override { cancel = c, calls << "checking", UpdateDialog::showChecking(c); }
    void showUpToDate(const QString& version) override { calls << "up to date " + version, UpdateDialog::showUpToDate(version); }
    void showUpdateAvailable(const AppcastItem& item, const QString& have) override
    {
        calls << QString("%1 (have %2) <%3>").arg(item.displayVersion, have, item.downloadLink.toString());
        UpdateDialog::showUpdateAvailable(item, have);
    }
    void showFailure(const QString& message) override { calls << message, UpdateDialog::showFailure(message); }
};

Response channel(const QByteArray& inside)
{
    return {"200 OK", "<rss version='2.0' xmlns:sparkle='http://www.andymatuschak.org/xml-namespaces/sparkle'><channel>"
                          + inside + "</channel></rss>"};
}

// A feed with one item per "build=display version" pair.
Response feed(const QStringList& versions)
{
    QString items;
    for (const QString& v : versions)
        items += QString("<item><sparkle:version>%1</sparkle:version><sparkle:shortVersionString>%2</sparkle:"
                         "shortVersionString><enclosure url='https://e.com/%2.gz'/></item>").arg(v.section('=', 0, 0), v.section('=', 1));
    return channel(items.toUtf8());
}

} // namespace

class TestFeedUpdaterController : public QObject {
    Q_OBJECT

    SettingsFiles m_files;
    QString m_settings;
    FeedServer m_server;
    QStringList m_calls;
    RecordingDriver* m_driver = nullptr;
    const QDateTime m_now = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

    // Build 120 ("1.2"), a 500 ms deadline, the test server's /appcast.xml unless told otherwise.
    std::unique_ptr<FeedUpdaterController> updater(const QUrl& feedUrl = {})
    {
        auto driver = std::make_unique<RecordingDriver>(m_calls);
        m_driver = driver.get();
        return std::make_unique<FeedUpdaterController>(
            FeedUpdaterController::Configuration{feedUrl.isEmpty() ? m_server.url("/appcast.xml") : feedUrl, "120", "1.2",
                                                 m_settings, {500ms}, [this] { return m_now; }},
            std::move(driver));
    }

private slots:
    void init() { m_settings = m_files.fresh(), m_server.requests.clear(), m_calls.clear(); }

    void checkShowsOutcome_data()
    {
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<Response>("response");
        QTest::addColumn<QString>("expected"); // the start of what is shown
        const QByteArray twoMegabytes(2 * 1024 * 1024, 'x');
        QTest::newRow("same") << false << feed({"120=1.2"}) << "checking|up to date 1.2";
        QTest::newRow("out of order") << false << feed({"119=1.1", "1000=2.0", "121=1.2.1", "110=1.1"})
                                      << "checking|2.0 (have 1.2) <https://e.com/2.0.gz>";
        QTest::newRow("malformed") << false << Response{"200 OK", "<rss><channel><item></channel></rss>"}
                                   << "checking|The update feed is not valid XML (line 1:";
        QTest::newRow("2 MB") << false << Response{"200 OK", twoMegabytes} << "checking|The update feed is larger than 1 MB.";
        QTest::newRow("2 MB, no length") << false << Response{"200 OK", twoMegabytes, {}, false}
                                         << "checking|The update feed is larger than 1 MB.";
        QTest::newRow("never answers") << false << Response{""}
                                       << "checking|The update server did not answer within 0.5 seconds.";
        QTest::newRow("404, markup as reason") << false << Response{"404 <img src='/dev/zero'>"}
                                               << "checking|The update server answered with HTTP status 404 (<img src='/dev/zero'>).";
        QTest::newRow("redirect off loopback") << false << Response{"302 Found", {}, "Location: http://e.com/a.xml\r\n"}
                                               << "checking|The update server sent the check elsewhere. The "
                                                  "update feed address \"http://e.com/a.xml\" is not secure;";
        QTest::newRow("automatic, newer") << true << feed({"200=2.0"}) << "2.0 (have 1.2) <https://e.com/2.0.gz>";
        QTest::newRow("automatic, 404: quiet") << true << Response{"404 Not Found"} << "";
        // What a hostile server may send ends within the deadline, and its markup is shown as plain text.
        QTest::newRow("60,000 levels") << false << channel("<item><sparkle:version>" + QByteArray("<a>").repeated(60000))
                                       << "checking|The update feed is nested more than 32 levels deep.";
        QTest::newRow("100,000 elements") << false << channel(QByteArray("<x/>").repeated(100000))
                                          << "checking|The update feed has more than 20000 elements.";
        QTest::newRow("markup as version, plain http link")
            << false << channel("<item><sparkle:version>130</sparkle:version><sparkle:shortVersionString>&lt;img src='/dev/zero'>"
                                "1.3</sparkle:shortVersionString><enclosure url='http://e.com/a.gz'/></item>")
            << "checking|<img src='/dev/zero'>1.3 (have 1.2) <>";
        QTest::newRow("not modified") << false << Response{"304 Not Modified"}
                                      << "checking|The update server answered with HTTP status 304 (Not Modified).";
    }
    // Through the store the General section shows, whose "can check now" is false while a check runs.
    void checkShowsOutcome()
    {
        QFETCH(bool, automatic);
        QFETCH(Response, response);
        QFETCH(QString, expected);
        m_server.routes["/appcast.xml"] = response;
        auto owned = updater();
        FeedUpdaterController* updater = owned.get();
        UpdateManager manager(std::move(owned));
        QList<bool> seen; // canCheckForUpdates at each notification
        connect(&manager, &UpdateManager::objectWillChange, this, [&] { seen << manager.canCheckForUpdates(); });
        if (automatic)
            manager.setAutomaticallyChecksForUpdates(true);
        else
            updater->checkForUpdates(), updater->checkForUpdates(); // the second is ignored while the first runs
        QTRY_COMPARE_WITH_TIMEOUT(seen.size(), automatic ? 3 : 2, 5000);
        QCOMPARE(seen.mid(automatic ? 1 : 0), (QList<bool>{true, false}));
        const QString shown = m_calls.join('|');
        QVERIFY2(expected.isEmpty() ? shown.isEmpty() : shown.startsWith(expected), qPrintable(shown));
        for (const QLabel* label : m_driver->findChildren<QLabel*>())
            QVERIFY(label->text().isEmpty() || label->textFormat() == Qt::PlainText);
        QCOMPARE(m_server.requests, QStringList{"/appcast.xml"});
        QCOMPARE(updater->lastCheckTime(), m_now);
        QVERIFY(automatic ? updater->timeUntilAutomaticCheck() > 23h : !updater->timeUntilAutomaticCheck());
    }

    // Refused at once, so before any connection is tried.
    void insecureAddressIsRefused()
    {
        updater(QUrl("http://192.0.2.10/appcast.xml"))->checkForUpdates();
        QCOMPARE(m_calls.value(1), "The update feed address \"http://192.0.2.10/appcast.xml\" is not secure; only https is allowed.");
    }

    // The choice, passed on by the store, is kept in the settings file for the
    // next run, which waits out the day since the last check; a last check in
    // the future (the clock set back) waits a day at most.
    void automaticChecksRunAtMostOnceADay()
    {
        for (const auto& [hoursAgo, wait] : {std::pair{2, 22h}, {-48, 24h}}) {
            m_settings = m_files.fresh();
            QSettings(m_settings, QSettings::IniFormat)
                .setValue(SettingsKeys::lastUpdateCheckTime, m_now.addSecs(-3600 * hoursAgo).toString(Qt::ISODate));
            auto updater = this->updater();
            QCOMPARE(updater->timeUntilAutomaticCheck(), std::nullopt); // off
            UpdateManager(std::move(updater)).setAutomaticallyChecksForUpdates(true);
            const auto delay = this->updater()->timeUntilAutomaticCheck();
            QVERIFY2(delay && std::chrono::abs(*delay - wait) < 1s, qPrintable(QString::number(delay.value_or(-1ms).count())));
            QVERIFY(SettingsFiles::read(m_settings).contains("[Updater]\nautomaticallyChecksForUpdates=true\n"));
        }
    }
};

QTEST_MAIN(TestFeedUpdaterController)
#include "tst_feedupdatercontroller.moc"
