#include "stores/AppcastFeed.h"

#include "stores/VersionComparator.h"

#include <QXmlStreamReader>

namespace {

QUrl webLink(const QString& text, const QUrl& base)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid())
        return {};
    if (url.isRelative() && base.isValid())
        url = base.resolved(url);
    const QString scheme = url.scheme();
    if ((scheme != QLatin1String("https") && scheme != QLatin1String("http")) || url.host().isEmpty())
        return {};
    return url;
}

struct ItemFields {
    AppcastItem item;
    bool inOtherChannel = false;
    QString enclosureVersion;
    QString enclosureDisplayVersion;
    QUrl link;
};

// Reads one <item>, the reader standing on its start element.
ItemFields readItem(QXmlStreamReader& xml, const QUrl& base)
{
    ItemFields fields;
    const QString& sparkle = AppcastFeed::sparkleNamespace;
    while (xml.readNextStartElement()) {
        const QStringView ns = xml.namespaceUri();
        const QStringView name = xml.name();
        if (ns == sparkle && name == QLatin1String("version")) {
            fields.item.version = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (ns == sparkle && name == QLatin1String("shortVersionString")) {
            fields.item.displayVersion = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (ns == sparkle && name == QLatin1String("releaseNotesLink")) {
            fields.item.releaseNotesLink = webLink(xml.readElementText(QXmlStreamReader::IncludeChildElements), base);
        } else if (ns == sparkle && name == QLatin1String("channel")) {
            fields.inOtherChannel = true;
            xml.skipCurrentElement();
        } else if (ns.isEmpty() && name == QLatin1String("title")) {
            fields.item.title = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (ns.isEmpty() && name == QLatin1String("link")) {
            fields.link = webLink(xml.readElementText(QXmlStreamReader::IncludeChildElements), base);
        } else if (ns.isEmpty() && name == QLatin1String("enclosure")) {
            // Older feeds put the versions on the enclosure instead of the item.
            const QXmlStreamAttributes attributes = xml.attributes();
            fields.item.downloadLink = webLink(attributes.value(QStringLiteral("url")).toString(), base);
            fields.enclosureVersion = attributes.value(sparkle, QStringLiteral("version")).toString().trimmed();
            fields.enclosureDisplayVersion =
                attributes.value(sparkle, QStringLiteral("shortVersionString")).toString().trimmed();
            xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (fields.item.version.isEmpty())
        fields.item.version = fields.enclosureVersion;
    if (fields.item.displayVersion.isEmpty())
        fields.item.displayVersion = fields.enclosureDisplayVersion;
    if (fields.item.displayVersion.isEmpty())
        fields.item.displayVersion = fields.item.version;
    if (fields.item.downloadLink.isEmpty())
        fields.item.downloadLink = fields.link;
    return fields;
}

QString xmlError(const QXmlStreamReader& xml)
{
    return QStringLiteral("The update feed is not valid XML (line %1: %2).")
        .arg(xml.lineNumber())
        .arg(xml.errorString());
}

} // namespace

std::expected<AppcastFeed, QString> AppcastFeed::parse(const QByteArray& data, const QUrl& feedUrl)
{
    if (data.trimmed().isEmpty())
        return std::unexpected(QStringLiteral("The update feed is empty."));

    QXmlStreamReader xml(data);
    if (!xml.readNextStartElement())
        return std::unexpected(xml.hasError() ? xmlError(xml) : QStringLiteral("The update feed is empty."));
    if (xml.name() != QLatin1String("rss") || !xml.namespaceUri().isEmpty())
        return std::unexpected(QStringLiteral("The update feed is not an RSS feed."));

    AppcastFeed feed;
    bool sawChannel = false;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("channel") || !xml.namespaceUri().isEmpty()) {
            xml.skipCurrentElement();
            continue;
        }
        sawChannel = true;
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("item") || !xml.namespaceUri().isEmpty()) {
                xml.skipCurrentElement();
                continue;
            }
            ItemFields fields = readItem(xml, feedUrl);
            if (!fields.inOtherChannel && !fields.item.version.isEmpty())
                feed.m_items.append(std::move(fields.item));
        }
    }
    // Reading on to the end catches damage after the last item as well.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return std::unexpected(xmlError(xml));
    if (!sawChannel)
        return std::unexpected(QStringLiteral("The update feed is not an RSS feed."));
    if (feed.m_items.isEmpty())
        return std::unexpected(QStringLiteral("The update feed lists no versions."));
    return feed;
}

std::optional<AppcastItem> AppcastFeed::newestItem() const
{
    if (m_items.isEmpty())
        return std::nullopt;
    const AppcastItem* newest = &m_items.front();
    for (const AppcastItem& item : m_items) {
        if (VersionComparator::compare(item.version, newest->version) > 0)
            newest = &item;
    }
    return *newest;
}
