#include "app/TerminalText.h"

namespace {

bool isUnsafe(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

} // namespace

QString TerminalText::safeName(const QString& name, qsizetype maximumLength)
{
    QString safe;
    qsizetype characters = 0;
    qsizetype lastSize = 0;
    // Walks by code point and stops one past the limit, so a name of any
    // length costs no more than the line it ends up on.
    for (qsizetype i = 0; i < name.size();) {
        char32_t c = name[i].unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name[i], name[i + 1]);
            units = 2;
        }
        if (characters == maximumLength) {
            safe.chop(lastSize);
            return safe + QChar(0x2026);
        }
        const qsizetype before = safe.size();
        if (isUnsafe(c))
            safe += QChar(QChar::ReplacementCharacter);
        else
            safe += QStringView(name).sliced(i, units);
        lastSize = safe.size() - before;
        ++characters;
        i += units;
    }
    return safe;
}
