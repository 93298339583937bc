#pragma once

#include <QString>
#include <QUrl>

// One release listed in an appcast feed.
struct AppcastItem {
    QString title;
    // The machine-comparable version ("sparkle:version"), compared with the
    // running program's build number.
    QString version;
    // The version shown to people ("sparkle:shortVersionString"); falls back
    // to version when the feed has none.
    QString displayVersion;
    QUrl releaseNotesLink;
    // Where the browser goes to get this release: the enclosure, else the item's link.
    QUrl downloadLink;
};
