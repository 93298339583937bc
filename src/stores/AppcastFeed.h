#pragma once

#include "stores/AppcastItem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <expected>
#include <optional>

// An RSS 2.0 feed with the "sparkle:" namespace, read as appcast updaters
// read it. Only items of the default channel (no "sparkle:channel") that
// carry a version are kept. Links are resolved against the feed's own
// address, and only https links are kept, since they are handed to the
// browser. A feed is outside input: its depth, its number of elements and
// the attributes of any one element are bounded, so parsing a feed of the
// fetcher's largest size takes milliseconds whatever it holds.
class AppcastFeed {
public:
    static inline const QString sparkleNamespace = QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

    // The feed's items, or a message fit to show the user.
    static std::expected<AppcastFeed, QString> parse(const QByteArray& xml, const QUrl& feedUrl = {});

    const QList<AppcastItem>& items() const { return m_items; }

    // The item with the highest version; the first one listed among equals.
    std::optional<AppcastItem> newestItem() const;

private:
    QList<AppcastItem> m_items;
};
