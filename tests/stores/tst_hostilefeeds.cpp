#include "FeedServer.h"
#include "SettingsFile.h"
#include "stores/FeedUpdaterController.h"
#include "views/UpdateDialog.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

using Response = FeedServer::Response;
Q_DECLARE_METATYPE(Response)

namespace {

Response feed(const QByteArray& inChannel)
{
    return {"200 OK", "<rss version='2.0' xmlns:sparkle='http://www.andymatuschak.org/xml-namespaces/sparkle'><channel>"
                          + inChannel + "</channel></rss>"};
}

} // namespace

// Answers a hostile server could give, through the real updater and its
// dialog: each ends within seconds as a message shown as plain text.
class TestHostileFeeds : public QObject {
    Q_OBJECT

    SettingsFiles m_files;
    FeedServer m_server;

private slots:
    void answerEndsAsPlainMessage_data()
    {
        QTest::addColumn<Response>("response");
        QTest::addColumn<QString>("shown"); // the start of the dialog's message
        QByteArray attributes;
        for (int i = 0; i < 95000; ++i)
            attributes += " a" + QByteArray::number(i) + "=''";
        const QByteArray ver = "<sparkle:version>130</sparkle:version>";
        QTest::newRow("60,000 levels") << feed("<item><sparkle:version>" + QByteArray("<a>").repeated(60000))
                                       << "The update feed is nested more than 32 levels deep.";
        QTest::newRow("95,000 attributes") << feed("<item" + attributes + "/>")
                                           << "The update feed has an element with more than 32 attributes.";
        QTest::newRow("100,000 elements") << feed(QByteArray("<x/>").repeated(100000))
                                          << "The update feed has more than 20000 elements.";
        QTest::newRow("markup as version") << feed("<item>" + ver + "<sparkle:shortVersionString>&lt;img src='/dev/"
                                                   "zero'>&lt;h1>1.3</sparkle:shortVersionString></item>")
                                           << "Ventrel <img src='/dev/zero'><h1>1.3 is now available;";
        QTest::newRow("markup as reason") << Response{"500 <img src='/dev/zero'>"}
                                          << "The update server answered with HTTP status 500 (<img src='/dev/zero'>).";
        QTest::newRow("plain http link") << feed("<item>" + ver + "<enclosure url='http://e.com/a.gz'/></item>")
                                         << "Ventrel 130 is now available; you have 1.2. The update feed gives no";
        QTest::newRow("1.0 is 1") << feed("<item><sparkle:version>120.0</sparkle:version></item>")
                                  << "Ventrel 1.2 is the newest version available.";
        // Qt ends some loops itself, with a status of its own, before our count does.
        QTest::newRow("redirect loop") << Response{"302 Found", {}, "Location: /appcast.xml\r\n"} << "The update server ";
        QTest::newRow("not modified") << Response{"304 Not Modified"}
                                      << "The update server answered with HTTP status 304 (Not Modified).";
    }
    void answerEndsAsPlainMessage()
    {
        QFETCH(Response, response);
        QFETCH(QString, shown);
        m_server.routes["/appcast.xml"] = response;
        auto owned = std::make_unique<UpdateDialog>();
        UpdateDialog* dialog = owned.get();
        FeedUpdaterController::Configuration configuration;
        configuration.feedUrl = m_server.url("/appcast.xml");
        configuration.currentVersion = "120", configuration.currentDisplayVersion = "1.2";
        configuration.settingsFile = m_files.fresh();
        FeedUpdaterController updater(configuration, std::move(owned));
        QElapsedTimer timer;
        timer.start();
        updater.checkForUpdates();
        QTRY_VERIFY_WITH_TIMEOUT(updater.canCheckForUpdates(), 10000);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        const QString message = dialog->findChild<QLabel*>("messageLabel")->text();
        QVERIFY2(message.startsWith(shown), qPrintable(message));
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            QVERIFY(label->text().isEmpty() || label->textFormat() == Qt::PlainText);
    }

    void redirectsKeepTheFirstRequestsRule()
    {
        QVERIFY(FeedFetcher::checkRedirect(QUrl("https://a.com/f"), QUrl("https://b.com/f")));
        QVERIFY(!FeedFetcher::checkRedirect(QUrl("https://a.com/f"), QUrl("http://127.0.0.1/f")));
        QVERIFY(FeedFetcher::checkRedirect(QUrl("http://127.0.0.1:1/f"), QUrl("http://localhost:2/f")));
        QVERIFY(!FeedFetcher::checkRedirect(QUrl("http://127.0.0.1/f"), QUrl("http://e.com/f")));
    }
};

QTEST_MAIN(TestHostileFeeds)
#include "tst_hostilefeeds.moc"
