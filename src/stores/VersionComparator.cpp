#include "stores/VersionComparator.h"

#include <QList>
#include <QStringView>

#include <algorithm>

namespace {

enum class PartType { number, separator, word, space };

struct Part {
    PartType type;
    QStringView text;
};

PartType typeOf(QChar c)
{
    if (c.isDigit())
        return PartType::number;
    if (c == u'.')
        return PartType::separator;
    if (c.isSpace())
        return PartType::space;
    return PartType::word;
}

// Every separator is a part of its own, so "1..2" has two of them; white
// space only ends a part ("1.5 Beta 3" reads as 1 . 5 Beta 3).
QList<Part> split(QStringView version)
{
    QList<Part> parts;
    qsizetype start = 0;
    for (qsizetype i = 1; i <= version.size(); ++i) {
        const PartType type = typeOf(version[start]);
        if (i < version.size() && typeOf(version[i]) == type && type != PartType::separator)
            continue;
        if (type != PartType::space)
            parts.append({type, version.sliced(start, i - start)});
        start = i;
    }
    return parts;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

// Digit runs can be longer than any integer type (date stamps, build hashes),
// so they are compared as text once leading zeros are gone.
int compareNumbers(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == u'0')
        a = a.sliced(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.sliced(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return sign(a.compare(b));
}

} // namespace

int VersionComparator::compare(const QString& a, const QString& b)
{
    const QList<Part> partsA = split(a);
    const QList<Part> partsB = split(b);
    const qsizetype common = std::min(partsA.size(), partsB.size());
    for (qsizetype i = 0; i < common; ++i) {
        const Part& pa = partsA[i];
        const Part& pb = partsB[i];
        if (pa.type == pb.type) {
            int result = 0;
            if (pa.type == PartType::number)
                result = compareNumbers(pa.text, pb.text);
            else if (pa.type == PartType::word)
                result = sign(pa.text.compare(pb.text));
            if (result != 0)
                return result;
            continue;
        }
        // A word against anything else is a pre-release marker and loses;
        // a number against a separator is the longer version and wins.
        if (pa.type == PartType::word)
            return -1;
        if (pb.type == PartType::word)
            return 1;
        return pa.type == PartType::number ? 1 : -1;
    }
    if (partsA.size() == partsB.size())
        return 0;
    // Equal as far as both go. The rest decides at its first part that is
    // neither a separator nor zero ("1.0" is "1"): a number makes the longer
    // version newer, a word (a pre-release marker) older.
    const bool aLonger = partsA.size() > partsB.size();
    const QList<Part>& longer = aLonger ? partsA : partsB;
    const auto decisive = std::find_if(longer.cbegin() + common, longer.cend(), [](const Part& p) {
        return p.type == PartType::word || (p.type == PartType::number && compareNumbers(p.text, u"0") != 0);
    });
    if (decisive == longer.cend())
        return 0;
    const bool longerIsNewer = decisive->type == PartType::number;
    return (aLonger == longerIsNewer) ? 1 : -1;
}
