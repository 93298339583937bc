#pragma once

#include "app/CommandProtocol.h"

#include <optional>
#include <string>
#include <vector>

// The `ventrel` program's side of CommandProtocol: finds the running tray
// app's socket, only where it can be this user's alone, and hands it one
// command within the protocol's bounds.
class CommandForwarder {
public:
    enum class Outcome {
        answered,   // reply holds what to print and return
        notRunning, // nobody (of this user) listens: act directly
        refused,    // the app does not take this command: act directly
        noAnswer,   // connected, but nothing came within takenTimeout
        stopped,    // taken, then the connection closed without a result
        unfinished, // taken, but no result within resultTimeout
    };
    struct Result {
        Outcome outcome;
        CommandProtocol::Reply reply;
    };

    // The socket in the folder SingleInstance::privateFolder() chooses, when
    // that folder and the socket are this user's and no one else's.
    static std::optional<std::string> socketPath();

    static Result forward(const std::string& socketPath, const std::vector<std::string>& arguments);
};
