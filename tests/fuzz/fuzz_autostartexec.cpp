#include "platform/x11/XdgAutostartService.h"

// An Exec line read from an autostart entry; and, taken as a program's path,
// the Exec line written for it must read back as that path.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    XdgAutostartService::programFromExec(input);
    if (input.startsWith(QLatin1Char('/')) && !input.contains(QChar(0))
        && XdgAutostartService::programFromExec(XdgAutostartService::execValue(input)) != input)
        abort();
    return 0;
}
