#include "app/CommandProtocol.h"

#include <cstdlib>

// Either end of the command channel reads what another process wrote. What
// decodes must encode back to itself.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (const auto reply = CommandProtocol::decodeReply(input)) {
        const auto again = CommandProtocol::decodeReply(CommandProtocol::encodeReply(*reply));
        if (!again || again->status != reply->status || again->out != reply->out || again->err != reply->err)
            abort();
    }
    if (const auto request = CommandProtocol::decodeRequest(input)) {
        const auto line = CommandProtocol::encodeRequest(request->arguments);
        const auto again = line ? CommandProtocol::decodeRequest(*line) : std::nullopt;
        if (line && (!again || again->arguments != request->arguments))
            abort();
    }
    return 0;
}
