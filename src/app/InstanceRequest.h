#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// What a later start of the program asks of the running tray app, as one
// line on the single-instance channel. A line is at most maximumLineLength
// bytes with its newline; anything else is refused. The only request so far
// is "settings"; requests added later begin with a version word ("v2 ..."),
// which a running instance that does not know it refuses, so old and new
// programs never misread each other.
class InstanceRequest {
public:
    enum class Kind { showSettings };

    static constexpr qsizetype maximumLineLength = 256;

    // A received line, with or without its newline.
    static std::optional<Kind> parse(QByteArrayView line);
    static QByteArray encode(Kind kind);

    // The running instance's answers: the request was taken, or not understood.
    static QByteArray accepted() { return QByteArrayLiteral("ok\n"); }
    static QByteArray refused() { return QByteArrayLiteral("unknown request\n"); }
};
