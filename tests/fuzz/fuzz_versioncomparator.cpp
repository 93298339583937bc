#include "stores/VersionComparator.h"

// Two versions, split at the first newline; the order must be antisymmetric.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString a = input.section(QLatin1Char('\n'), 0, 0), b = input.section(QLatin1Char('\n'), 1);
    const int ab = VersionComparator::compare(a, b), ba = VersionComparator::compare(b, a);
    if ((ab > 0) != (ba < 0) || (ab == 0) != (ba == 0) || VersionComparator::compare(a, a) != 0)
        abort();
    return 0;
}
