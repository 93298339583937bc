#include "stores/AppcastFeed.h"

#include <QTest>

// Feeds as publishers write them, beyond what the updater's own tests serve.
class TestAppcastFeed : public QObject {
    Q_OBJECT

    // Declared before and defined after the raw string literals, which moc misreads.
private slots:
    void readsItemFields_data();
    void readsItemFields();
    void keepsOnlyDefaultChannelItemsWithAVersion();
    void refusesWhatIsNotAFeed_data();
    void refusesWhatIsNotAFeed();
};

namespace {

QByteArray rss(const QByteArray& items)
{
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Ventrel Changelog</title><link>https://example.com</link>
)" + items + "</channel></rss>\n";
}

} // namespace

void TestAppcastFeed::readsItemFields_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QStringList>("expected"); // version, display version, notes link, download link
    QTest::newRow("elements") << QByteArray(R"(<item><title>Ventrel 1.3</title>
        <sparkle:version>130</sparkle:version><sparkle:shortVersionString>1.3</sparkle:shortVersionString>
        <sparkle:releaseNotesLink>https://example.com/1.3.html</sparkle:releaseNotesLink>
        <enclosure url="https://example.com/Ventrel-1.3.tar.gz" sparkle:edSignature="abc" length="9"/></item>)")
                              << QStringList{"130", "1.3", "https://example.com/1.3.html", "https://example.com/Ventrel-1.3.tar.gz"};
    QTest::newRow("versions on the enclosure")
        << QByteArray(R"(<item><enclosure url="https://example.com/v.zip" sparkle:version="45" sparkle:shortVersionString="0.4.5"/></item>)")
        << QStringList{"45", "0.4.5", "", "https://example.com/v.zip"};
    QTest::newRow("link without enclosure")
        << QByteArray(R"(<item><sparkle:version> 2.0 </sparkle:version><link>https://example.com/get</link></item>)")
        << QStringList{"2.0", "2.0", "", "https://example.com/get"};
    QTest::newRow("relative links") << QByteArray(R"(<item><sparkle:version>3</sparkle:version>
        <sparkle:releaseNotesLink>notes/3.html</sparkle:releaseNotesLink><enclosure url="/files/3.tar.gz"/></item>)")
                                    << QStringList{"3", "3", "https://updates.example.com/ventrel/notes/3.html",
                                                   "https://updates.example.com/files/3.tar.gz"};
    QTest::newRow("links the browser must not get") << QByteArray(R"(<item><sparkle:version>4</sparkle:version>
        <sparkle:releaseNotesLink>javascript:alert(1)</sparkle:releaseNotesLink><enclosure url="file:///etc/passwd"/></item>)")
                                                    << QStringList{"4", "4", "", ""};
}

void TestAppcastFeed::readsItemFields()
{
    QFETCH(QByteArray, item);
    QFETCH(QStringList, expected);
    const auto feed = AppcastFeed::parse(rss(item), QUrl("https://updates.example.com/ventrel/appcast.xml"));
    QVERIFY2(feed.has_value(), feed ? "" : qPrintable(feed.error()));
    QCOMPARE(feed->items().size(), 1);
    const AppcastItem& read = feed->items().front();
    QCOMPARE((QStringList{read.version, read.displayVersion, read.releaseNotesLink.toString(), read.downloadLink.toString()}),
             expected);
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
    QCOMPARE(feed->newestItem()->version, "5");
}

void TestAppcastFeed::refusesWhatIsNotAFeed_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");
    QTest::newRow("no items") << rss("") << "The update feed lists no versions.";
    QTest::newRow("atom") << QByteArray(R"(<feed xmlns="http://www.w3.org/2005/Atom"><entry/></feed>)")
                          << "The update feed is not an RSS feed.";
    QTest::newRow("html") << QByteArray("<html><body>Moved</body></html>") << "The update feed is not an RSS feed.";
    QTest::newRow("garbage after the end") << rss("<item><sparkle:version>1</sparkle:version></item>") + "<rss/>"
                                           << "The update feed is not valid XML";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11) << "The update feed is not valid XML";
}

void TestAppcastFeed::refusesWhatIsNotAFeed()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    const auto feed = AppcastFeed::parse(data);
    QVERIFY(!feed.has_value());
    QVERIFY2(feed.error().startsWith(message), qPrintable(feed.error()));
}

QTEST_GUILESS_MAIN(TestAppcastFeed)
#include "tst_appcastfeed.moc"
