#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How `ventrel COMMAND` hands a command to the running tray app, over the
// single-instance channel (SingleInstance: owner-only folder, peer uid
// checked, bounded connections). Plain C++, since the `ventrel` program that
// speaks it loads no Qt.
//
// Request, one line of at most maximumRequestLength bytes:
//
//     v2 run ENVIRONMENT ARGUMENT...\n
//
// Fields are separated by one space and percent-encoded (every byte outside
// printable ASCII, and '%' and space, as %XX), so any argument survives,
// the empty one included. ENVIRONMENT is environmentFingerprint(): the
// variables that decide which display, compositor, bus and settings file a
// command acts on. The app runs a command only when its own fingerprint is
// the same, so a command from another session is never carried out on this
// one. The arguments are the command line's, without the program name.
//
// Answers, each one line:
//   "ok\n"                    taken: the command runs now, or after the one
//                             running, on the window focused at that moment
//   JSON object               then, when it has run, what a direct run
//                             would have printed and returned:
//                             {"status":N,"stdout":"…","stderr":"…"}
//   "unknown request\n"       not taken (a malformed line, another session):
//                             act without it
//
// A client waits at most takenTimeout for "ok" and resultTimeout for the
// result. A running instance that knows only older requests refuses this
// one, or drops the connection for its length: either way the client acts
// without it.
class CommandProtocol {
public:
    static constexpr std::string_view requestPrefix = "v2 run ";
    static constexpr std::string_view taken = "ok\n";
    static constexpr std::string_view refused = "unknown request\n";
    static constexpr std::size_t maximumRequestLength = 8192;
    static constexpr std::size_t maximumReplyLength = 1 << 20;
    // Long enough for an app busy with its menu, short for a key binding.
    static constexpr std::chrono::milliseconds takenTimeout{500};
    // Beyond the longest bound of any window backend's own waits.
    static constexpr std::chrono::milliseconds resultTimeout{10000};

    struct Request {
        std::string environment;
        std::vector<std::string> arguments;
    };
    struct Reply {
        int status = 0;
        std::string out, err;
    };

    static std::string environmentFingerprint();

    // The request line with its newline; none when it would be too long.
    static std::optional<std::string> encodeRequest(const std::vector<std::string>& arguments);
    // A line with or without its newline.
    static std::optional<Request> decodeRequest(std::string_view line);

    static std::string encodeReply(const Reply& reply);
    static std::optional<Reply> decodeReply(std::string_view line);
};
