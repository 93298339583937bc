#include "stores/AppcastFeed.h"

#include "stores/VersionComparator.h"

#include <QXmlStreamReader>

namespace {

// Links go to the browser, and a release fetched over plain http could be
// swapped on the way, so only https is kept.
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
    if (url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return {};
    return url;
}

constexpr int maximumDepth = 32;
constexpr int maximumElements = 20000;
constexpr int maximumAttributes = 32;

// QXmlStreamReader checks each attribute of a tag against all the others
// before it hands the tag over, so one tag with a hundred thousand attributes
// takes minutes. This linear pass over the bytes counts them first. A
// document type is refused outright: feeds never need one, and its
// declarations are work the reader would do before we could stop it.
QString checkMarkup(const QByteArray& data)
{
    const qsizetype size = data.size();
    const auto at = [&](qsizetype i, const char* text) { return QByteArrayView(data).sliced(i).startsWith(text); };
    const auto skipPast = [&](qsizetype from, const char* end) {
        const qsizetype found = data.indexOf(end, from);
        return found < 0 ? size : found + qsizetype(qstrlen(end));
    };
    qsizetype i = 0;
    while ((i = data.indexOf('<', i)) >= 0) {
        if (at(i, "<!--")) {
            i = skipPast(i + 4, "-->");
        } else if (at(i, "<![CDATA[")) {
            i = skipPast(i + 9, "]]>");
        } else if (at(i, "<!")) {
            return QStringLiteral("The update feed declares a document type, which update feeds never need.");
        } else if (at(i, "<?")) {
            i = skipPast(i + 2, "?>");
        } else {
            int attributes = 0;
            char quote = 0;
            for (++i; i < size && (quote || data[i] != '>'); ++i) {
                const char c = data[i];
                if (quote)
                    quote = c == quote ? 0 : quote;
                else if (c == '"' || c == '\'')
                    quote = c;
                else if (c == '=' && ++attributes > maximumAttributes)
                    return QStringLiteral("The update feed has an element with more than %1 attributes.")
                        .arg(maximumAttributes);
            }
        }
    }
    return {};
}

// A QXmlStreamReader that counts elements and depth as it goes and stops the
// document at the first limit passed. It never recurses, so no nesting can
// exhaust the stack.
class BoundedReader {
public:
    explicit BoundedReader(const QByteArray& data) : xml(data) {}

    QXmlStreamReader xml;

    QXmlStreamReader::TokenType next()
    {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (++m_depth > maximumDepth)
                fail(QStringLiteral("The update feed is nested more than %1 levels deep.").arg(maximumDepth));
            else if (++m_elements > maximumElements)
                fail(QStringLiteral("The update feed has more than %1 elements.").arg(maximumElements));
        } else if (token == QXmlStreamReader::EndElement) {
            --m_depth;
        }
        return xml.hasError() ? QXmlStreamReader::Invalid : token;
    }

    // As QXmlStreamReader::readNextStartElement(): false at the end of the current element.
    bool readNextStartElement()
    {
        while (!xml.atEnd()) {
            const QXmlStreamReader::TokenType token = next();
            if (token == QXmlStreamReader::StartElement)
                return true;
            if (token == QXmlStreamReader::EndElement || token == QXmlStreamReader::Invalid)
                return false;
        }
        return false;
    }

    void skipCurrentElement()
    {
        for (int level = 1; level > 0 && !xml.atEnd();) {
            const QXmlStreamReader::TokenType token = next();
            level += token == QXmlStreamReader::StartElement ? 1 : token == QXmlStreamReader::EndElement ? -1 : 0;
        }
    }

    // The text of the current element and of everything inside it.
    QString readText()
    {
        QString text;
        for (int level = 1; level > 0 && !xml.atEnd();) {
            const QXmlStreamReader::TokenType token = next();
            if (token == QXmlStreamReader::Characters || token == QXmlStreamReader::EntityReference)
                text += xml.text();
            level += token == QXmlStreamReader::StartElement ? 1 : token == QXmlStreamReader::EndElement ? -1 : 0;
        }
        return text;
    }

    QString error() const
    {
        if (!m_limit.isEmpty())
            return m_limit;
        return QStringLiteral("The update feed is not valid XML (line %1: %2).")
            .arg(xml.lineNumber())
            .arg(xml.errorString());
    }

private:
    void fail(const QString& message)
    {
        m_limit = message;
        xml.raiseError(message);
    }

    int m_depth = 0;
    int m_elements = 0;
    QString m_limit;
};

struct ItemFields {
    AppcastItem item;
    bool inOtherChannel = false;
    QString enclosureVersion;
    QString enclosureDisplayVersion;
    QUrl link;
};

// Reads one <item>, the reader standing on its start element.
ItemFields readItem(BoundedReader& reader, const QUrl& base)
{
    ItemFields fields;
    const QString& sparkle = AppcastFeed::sparkleNamespace;
    const QXmlStreamReader& xml = reader.xml;
    while (reader.readNextStartElement()) {
        const QStringView ns = xml.namespaceUri();
        const QStringView name = xml.name();
        if (ns == sparkle && name == QLatin1String("version")) {
            fields.item.version = reader.readText().trimmed();
        } else if (ns == sparkle && name == QLatin1String("shortVersionString")) {
            fields.item.displayVersion = reader.readText().trimmed();
        } else if (ns == sparkle && name == QLatin1String("releaseNotesLink")) {
            fields.item.releaseNotesLink = webLink(reader.readText(), base);
        } else if (ns == sparkle && name == QLatin1String("channel")) {
            fields.inOtherChannel = true;
            reader.skipCurrentElement();
        } else if (ns.isEmpty() && name == QLatin1String("title")) {
            fields.item.title = reader.readText().trimmed();
        } else if (ns.isEmpty() && name == QLatin1String("link")) {
            fields.link = webLink(reader.readText(), base);
        } else if (ns.isEmpty() && name == QLatin1String("enclosure")) {
            // Older feeds put the versions on the enclosure instead of the item.
            const QXmlStreamAttributes attributes = xml.attributes();
            fields.item.downloadLink = webLink(attributes.value(QStringLiteral("url")).toString(), base);
            fields.enclosureVersion = attributes.value(sparkle, QStringLiteral("version")).toString().trimmed();
            fields.enclosureDisplayVersion =
                attributes.value(sparkle, QStringLiteral("shortVersionString")).toString().trimmed();
            reader.skipCurrentElement();
        } else {
            reader.skipCurrentElement();
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

} // namespace

std::expected<AppcastFeed, QString> AppcastFeed::parse(const QByteArray& data, const QUrl& feedUrl)
{
    if (data.trimmed().isEmpty())
        return std::unexpected(QStringLiteral("The update feed is empty."));
    if (const QString refused = checkMarkup(data); !refused.isEmpty())
        return std::unexpected(refused);

    BoundedReader reader(data);
    const QXmlStreamReader& xml = reader.xml;
    if (!reader.readNextStartElement())
        return std::unexpected(xml.hasError() ? reader.error() : QStringLiteral("The update feed is empty."));
    if (xml.name() != QLatin1String("rss") || !xml.namespaceUri().isEmpty())
        return std::unexpected(QStringLiteral("The update feed is not an RSS feed."));

    AppcastFeed feed;
    bool sawChannel = false;
    while (reader.readNextStartElement()) {
        if (xml.name() != QLatin1String("channel") || !xml.namespaceUri().isEmpty()) {
            reader.skipCurrentElement();
            continue;
        }
        sawChannel = true;
        while (reader.readNextStartElement()) {
            if (xml.name() != QLatin1String("item") || !xml.namespaceUri().isEmpty()) {
                reader.skipCurrentElement();
                continue;
            }
            ItemFields fields = readItem(reader, feedUrl);
            if (!fields.inOtherChannel && !fields.item.version.isEmpty())
                feed.m_items.append(std::move(fields.item));
        }
    }
    // Reading on to the end catches damage after the last item as well.
    while (!xml.atEnd())
        reader.next();
    if (xml.hasError())
        return std::unexpected(reader.error());
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
