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

QByteArray feed(const QByteArray& item)
{
    return "<rss version='2.0' xmlns:sparkle='http://www.andymatuschak.org/xml-namespaces/sparkle'><channel>" + item
        + "</channel></rss>";
}

QByteArray repeated(const char* pattern, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += QByteArray(pattern).replace("#", QByteArray::number(i));
    return out;
}

} // namespace

// Answers an attacker's server could give, through the real updater and the
// dialog it shows: each ends as a plain-text message, within seconds.
class TestHostileFeeds : public QObject {
    Q_OBJECT

    SettingsFiles m_files;
    FeedServer m_server;

private slots:
    void answerEndsAsPlainMessage_data()
    {
        QTest::addColumn<Response>("response");
        QTest::addColumn<QString>("shown"); // the start of the dialog's message
        const QByteArray deep = repeated("<a>", 60000) + repeated("</a>", 60000);
        QTest::newRow("60,000 levels in a version")
            << Response{"200 OK", feed("<item><sparkle:version>" + deep + "</sparkle:version></item>")}
            << "The update feed is nested more than 32 levels deep.";
        QTest::newRow("95,000 attributes")
            << Response{"200 OK", feed("<item " + repeated("a#=''", 95000) + "/>")}
            << "The update feed has an element with more than 32 attributes.";
        QTest::newRow("100,000 elements") << Response{"200 OK", feed(repeated("<x/>", 100000))}
                                          << "The update feed has more than 20000 elements.";
        QTest::newRow("markup as version")
            << Response{"200 OK", feed("<item><sparkle:version>130</sparkle:version><sparkle:shortVersionString>"
                                       "&lt;img src='/dev/zero'>&lt;h1>1.3</sparkle:shortVersionString></item>")}
            << "Ventrel <img src='/dev/zero'><h1>1.3 is now available; you have 1.2. The update feed gives no "
               "download address.";
        QTest::newRow("markup as reason") << Response{"500 <img src='/dev/zero'>"}
                                          << "The update server answered with HTTP status 500 (<img src='/dev/zero'>).";
        QTest::newRow("plain http links")
            << Response{"200 OK", feed("<item><sparkle:version>130</sparkle:version><enclosure url='http://e.com/"
                                       "a.gz'/></item>")}
            << "Ventrel 130 is now available; you have 1.2. The update feed gives no download address.";
        QTest::newRow("1.0 is 1") << Response{"200 OK", feed("<item><sparkle:version>120.0</sparkle:version></item>")}
                                  << "Ventrel 1.2 is the newest version available.";
        // Qt ends some loops itself, with a status of its own, before our count does.
        QTest::newRow("redirect loop") << Response{"302 Found", {}, "Location: /appcast.xml\r\n"}
                                       << "The update server ";
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
        configuration.currentVersion = "120";
        configuration.currentDisplayVersion = "1.2";
        configuration.settingsFile = m_files.fresh();
        FeedUpdaterController updater(configuration, std::move(owned));
        QElapsedTimer timer;
        timer.start();
        updater.checkForUpdates();
        auto* message = dialog->findChild<QLabel*>("messageLabel");
        QTRY_VERIFY_WITH_TIMEOUT(updater.canCheckForUpdates(), 10000);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY2(message->text().startsWith(shown), qPrintable(message->text()));
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            QVERIFY(label->text().isEmpty() || label->textFormat() == Qt::PlainText);
    }

    void redirectsKeepTheFirstRequestsRule_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("https to https") << "https://a.com/f" << "https://b.com/f" << true;
        QTest::newRow("https to loopback http") << "https://a.com/f" << "http://127.0.0.1/f" << false;
        QTest::newRow("loopback to loopback") << "http://127.0.0.1:1/f" << "http://localhost:2/f" << true;
        QTest::newRow("loopback to http") << "http://127.0.0.1/f" << "http://e.com/f" << false;
    }
    void redirectsKeepTheFirstRequestsRule()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, allowed);
        QCOMPARE(FeedFetcher::checkRedirect(QUrl(from), QUrl(to)).has_value(), allowed);
    }
};

QTEST_MAIN(TestHostileFeeds)
#include "tst_hostilefeeds.moc"
