#pragma once

#include <QString>

// Text from the user's settings made fit for one column of a terminal line:
// nothing in it can move the cursor, change colours or reorder the line, and
// it is never longer than a line can show.
class TerminalText {
public:
    static constexpr qsizetype maximumNameLength = 40;

    // name with each control, format or separator character (escape
    // sequences, bidirectional overrides, line breaks) shown as U+FFFD, and
    // cut to at most maximumLength characters, the last one an ellipsis when cut.
    static QString safeName(const QString& name, qsizetype maximumLength = maximumNameLength);
};
