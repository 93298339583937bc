#include "stores/AppcastFeed.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto feed = AppcastFeed::parse(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                                         QUrl(QStringLiteral("https://example.com/appcast.xml")));
    if (feed && (!feed->newestItem() || feed->newestItem()->version.isEmpty()))
        abort(); // a parsed feed has at least one item, each with a version
    return 0;
}
