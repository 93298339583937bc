#include "stores/AppcastFeed.h"
#include "stores/VersionComparator.h"

#include <QTest>

namespace {

QByteArray rss(const QByteArray& items)
{
    return "<rss version='2.0' xmlns:sparkle='http://www.andymatuschak.org/xml-namespaces/sparkle'><channel>"
           "<title>Ventrel</title><link>https://example.com</link>" + items + "</channel></rss>";
}

} // namespace

// Feeds as publishers write them, and their versions ordered as that format's updaters order them.
class TestAppcastFeed : public QObject {
    Q_OBJECT

private slots:
    void readsItemFields_data()
    {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<QString>("expected"); // version, display version, notes link, download link
        QTest::newRow("attributes, relative links")
            << QByteArray("<item><sparkle:releaseNotesLink>notes/3.html</sparkle:releaseNotesLink>"
                          "<enclosure url='/3.gz' sparkle:version='3' sparkle:shortVersionString='0.3'/></item>")
            << "3 0.3 https://u.e.com/ventrel/notes/3.html https://u.e.com/3.gz";
        QTest::newRow("a link, a notes link the browser must not get")
            << QByteArray("<item><sparkle:version> 2.0 </sparkle:version><link>https://e.com/get</link>"
                          "<sparkle:releaseNotesLink>javascript:alert(1)</sparkle:releaseNotesLink></item>")
            << "2.0 2.0  https://e.com/get";
        QTest::newRow("only default-channel items with a version")
            << QByteArray("<item><title>no version</title><enclosure url='https://e.com/a'/></item><item><version>8"
                          "</version></item><item><sparkle:version>9</sparkle:version><sparkle:channel>beta</sparkle:"
                          "channel></item><item xmlns:sparkle='urn:x'><sparkle:version>7</sparkle:version></item>"
                          "<item><sparkle:version>5</sparkle:version></item>")
            << "5 5  ";
    }
    void readsItemFields()
    {
        QFETCH(QByteArray, item);
        QFETCH(QString, expected);
        const auto feed = AppcastFeed::parse(rss(item), QUrl("https://u.e.com/ventrel/appcast.xml"));
        QVERIFY2(feed && feed->items().size() == 1, feed ? "" : qPrintable(feed.error()));
        const AppcastItem& read = feed->items().front();
        QCOMPARE(QStringList({read.version, read.displayVersion, read.releaseNotesLink.toString(),
                              read.downloadLink.toString()}).join(' '), expected);
    }

    void ordersRealWorldVersions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order"); // of a against b; the reverse order is the fuzz target's
        QTest::newRow("minor after nine") << "1.9" << "1.10" << -1;
        QTest::newRow("beta before release") << "2.0b1" << "2.0" << -1;
        QTest::newRow("rc after beta") << "1.0rc1" << "1.0b5" << 1;
        QTest::newRow("patch after a beta") << "1.2.1" << "1.2b4" << 1;
        QTest::newRow("date stamps past 64 bits") << "20250101235959123456789" << "20260101000000000000000" << -1;
        QTest::newRow("trailing zeros") << "1.0.0" << "1" << 0;
        QTest::newRow("beta after trailing zeros") << "1.0b1" << "1" << -1;
    }
    void ordersRealWorldVersions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QTEST(VersionComparator::compare(a, b), "order");
    }
};

QTEST_GUILESS_MAIN(TestAppcastFeed)
#include "tst_appcastfeed.moc"
