#include "model/WindowPreset.h"

#include <QJsonArray>
#include <QJsonDocument>

// A preset's JSON form; what decodes must survive its own encoding.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QJsonValue value = document.isArray() ? document.array().first() : QJsonValue(document.object());
    if (const auto preset = WindowPreset::fromJson(value)) {
        const auto again = WindowPreset::fromJson(preset->toJson());
        if (!again || !(*again == *preset || std::isnan(preset->createdAt)))
            abort();
    }
    return 0;
}
