#include "app/InstanceRequest.h"

std::optional<InstanceRequest::Kind> InstanceRequest::parse(QByteArrayView line)
{
    if (line.size() > maximumLineLength)
        return std::nullopt;
    if (line.endsWith('\n'))
        line.chop(1);
    if (line == QByteArrayView("settings"))
        return Kind::showSettings;
    return std::nullopt;
}

QByteArray InstanceRequest::encode(Kind kind)
{
    switch (kind) {
    case Kind::showSettings:
        return QByteArrayLiteral("settings\n");
    }
    return {};
}
