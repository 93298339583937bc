#include "stores/AppcastFeed.h"

#include <QTest>

class TestAppcastFeed : public QObject {
    Q_OBJECT

    // Declared before and defined after the raw string literals, which moc misreads.
private slots:
    void readsItemFields_data();
    void readsItemFields();
    void keepsOnlyDefaultChannelItemsWithAVersion();
    void newestItemComparesVersionsNotOrder();
    void refusesWhatIsNotAFeed_data();
    void refusesWhatIsNotAFeed();
};

namespace {

const QUrl feedUrl("https://updates.example.com/ventrel/appcast.xml");

QByteArray rss(const QByteArray& items)
{
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle" xmlns:dc="http://purl.org/dc/elements/1.1/">
<channel><title>Ventrel Changelog</title><link>https://example.com</link>
)" + items + "</channel></rss>\n";
}

} // namespace


void TestAppcastFeed::readsItemFields_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("displayVersion");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QString>("download");

    QTest::newRow("elements") << QByteArray(R"(<item><title>Ventrel 1.3</title>
        <sparkle:version>130</sparkle:version><sparkle:shortVersionString>1.3</sparkle:shortVersionString>
        <sparkle:releaseNotesLink>https://example.com/1.3.html</sparkle:releaseNotesLink>
        <pubDate>Sat, 01 Mar 2026 12:00:00 +0000</pubDate>
        <enclosure url="https://example.com/Ventrel-1.3.tar.gz" sparkle:edSignature="abc" length="9" type="application/octet-stream"/></item>)")
                              << "130" << "1.3" << "https://example.com/1.3.html" << "https://example.com/Ventrel-1.3.tar.gz";
    QTest::newRow("versions on the enclosure")
        << QByteArray(R"(<item><enclosure url="https://example.com/v.zip" sparkle:version="45" sparkle:shortVersionString="0.4.5"/></item>)")
        << "45" << "0.4.5" << "" << "https://example.com/v.zip";
    QTest::newRow("element wins over enclosure")
        << QByteArray(R"(<item><sparkle:version>46</sparkle:version><enclosure url="https://example.com/v.zip" sparkle:version="45"/></item>)")
        << "46" << "46" << "" << "https://example.com/v.zip";
    QTest::newRow("link without enclosure")
        << QByteArray(R"(<item><sparkle:version>2.0</sparkle:version><link>https://example.com/download</link></item>)")
        << "2.0" << "2.0" << "" << "https://example.com/download";
    QTest::newRow("enclosure wins over link")
        << QByteArray(R"(<item><sparkle:version>2.0</sparkle:version><link>https://example.com/page</link><enclosure url="https://example.com/file"/></item>)")
        << "2.0" << "2.0" << "" << "https://example.com/file";
    QTest::newRow("relative links") << QByteArray(R"(<item><sparkle:version>3</sparkle:version>
        <sparkle:releaseNotesLink>notes/3.html</sparkle:releaseNotesLink><enclosure url="/files/3.tar.gz"/></item>)")
                                    << "3" << "3" << "https://updates.example.com/ventrel/notes/3.html"
                                    << "https://updates.example.com/files/3.tar.gz";
    QTest::newRow("links the browser must not get") << QByteArray(R"(<item><sparkle:version>4</sparkle:version>
        <sparkle:releaseNotesLink>javascript:alert(1)</sparkle:releaseNotesLink><enclosure url="file:///etc/passwd"/></item>)")
                                                    << "4" << "4" << "" << "";
    QTest::newRow("white space and CDATA")
        << QByteArray("<item><sparkle:version>\n  7 </sparkle:version><sparkle:shortVersionString><![CDATA[0.7]]></sparkle:shortVersionString></item>")
        << "7" << "0.7" << "" << "";
}

void TestAppcastFeed::readsItemFields()
{
    QFETCH(QByteArray, item);
    QFETCH(QString, version);
    QFETCH(QString, displayVersion);
    QFETCH(QString, notes);
    QFETCH(QString, download);
    const auto feed = AppcastFeed::parse(rss(item), feedUrl);
    QVERIFY2(feed.has_value(), feed ? "" : qPrintable(feed.error()));
    QCOMPARE(feed->items().size(), 1);
    const AppcastItem& read = feed->items().front();
    QCOMPARE(read.version, version);
    QCOMPARE(read.displayVersion, displayVersion);
    QCOMPARE(read.releaseNotesLink.toString(), notes);
    QCOMPARE(read.downloadLink.toString(), download);
}

void TestAppcastFeed::keepsOnlyDefaultChannelItemsWithAVersion()
{
    const auto feed = AppcastFeed::parse(rss(R"(
        <item><title>no version</title><enclosure url="https://example.com/a"/></item>
        <item><sparkle:version>900</sparkle:version><sparkle:channel>beta</sparkle:channel></item>
        <item><version>800</version></item>
        <item xmlns:sparkle="urn:not-the-right-namespace"><sparkle:version>700</sparkle:version></item>
        <item><sparkle:version>5</sparkle:version></item>)"));
    QVERIFY(feed.has_value());
    QCOMPARE(feed->items().size(), 1);
    QCOMPARE(feed->items().front().version, "5");
}

void TestAppcastFeed::newestItemComparesVersionsNotOrder()
{
    const auto feed = AppcastFeed::parse(rss(R"(
        <item><title>a</title><sparkle:version>1.9</sparkle:version></item>
        <item><title>b</title><sparkle:version>1.10</sparkle:version></item>
        <item><title>c</title><sparkle:version>1.10b3</sparkle:version></item>
        <item><title>d</title><sparkle:version>1.10</sparkle:version></item>
        <item><title>e</title><sparkle:version>1.2</sparkle:version></item>)"));
    QVERIFY(feed.has_value());
    QCOMPARE(feed->items().size(), 5);
    QCOMPARE(feed->newestItem()->title, "b");
}

void TestAppcastFeed::refusesWhatIsNotAFeed_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << "The update feed is empty.";
    QTest::newRow("white space") << QByteArray(" \n\t") << "The update feed is empty.";
    QTest::newRow("no items") << rss("") << "The update feed lists no versions.";
    QTest::newRow("html") << QByteArray("<html><body>Not here</body></html>") << "The update feed is not an RSS feed.";
    QTest::newRow("atom") << QByteArray(R"(<feed xmlns="http://www.w3.org/2005/Atom"><entry/></feed>)")
                          << "The update feed is not an RSS feed.";
    QTest::newRow("rss without channel") << QByteArray("<rss version=\"2.0\"></rss>") << "The update feed is not an RSS feed.";
    QTest::newRow("unclosed") << QByteArray("<rss><channel><item><sparkle:version>1</sparkle:version>")
                              << "The update feed is not valid XML";
    QTest::newRow("garbage after the end") << rss("<item><sparkle:version>1</sparkle:version></item>") + "<rss/>"
                                           << "The update feed is not valid XML";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11) << "The update feed is not valid XML";
}

void TestAppcastFeed::refusesWhatIsNotAFeed()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    const auto feed = AppcastFeed::parse(data, feedUrl);
    QVERIFY(!feed.has_value());
    QVERIFY2(feed.error().startsWith(message), qPrintable(feed.error()));
}

QTEST_GUILESS_MAIN(TestAppcastFeed)
#include "tst_appcastfeed.moc"
