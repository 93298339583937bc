#include "launcher/CommandForwarder.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;
using Outcome = CommandForwarder::Outcome;

bool ownedAndPrivate(const std::string& path, bool folder)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || info.st_uid != ::getuid())
        return false;
    return folder ? S_ISDIR(info.st_mode) && (info.st_mode & 077) == 0 : S_ISSOCK(info.st_mode);
}

bool usableRuntimeFolder(const char* path)
{
    struct stat info {};
    return path && path[0] == '/' && ::stat(path, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid()
        && (info.st_mode & 022) == 0;
}

bool peerIsSameUser(int descriptor)
{
#ifdef SO_PEERCRED
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == ::getuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(descriptor, &uid, &gid) == 0 && uid == ::getuid();
#endif
}

// Waits for events until the deadline; false when it passed first.
bool await(int descriptor, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd entry{descriptor, events, 0};
        const int ready = ::poll(&entry, 1, int(left));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

class Connection {
public:
    explicit Connection(int descriptor) : m_descriptor(descriptor) {}
    ~Connection()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int descriptor() const { return m_descriptor; }

    bool send(std::string_view data, Clock::time_point deadline)
    {
#ifdef MSG_NOSIGNAL
        constexpr int flags = MSG_NOSIGNAL;
#else
        constexpr int flags = 0;
#endif
        while (!data.empty()) {
            const ssize_t sent = ::send(m_descriptor, data.data(), data.size(), flags);
            if (sent > 0) {
                data.remove_prefix(std::size_t(sent));
            } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
                if (!await(m_descriptor, POLLOUT, deadline))
                    return false;
            } else {
                return false;
            }
        }
        return true;
    }

    enum class Read { line, closed, timedOut };
    // The next line, newline included, in line.
    Read readLine(std::string& line, Clock::time_point deadline)
    {
        for (;;) {
            if (const std::size_t end = m_buffer.find('\n'); end != std::string::npos) {
                line = m_buffer.substr(0, end + 1);
                m_buffer.erase(0, end + 1);
                return Read::line;
            }
            if (m_buffer.size() > CommandProtocol::maximumReplyLength)
                return Read::closed;
            char chunk[4096];
            const ssize_t got = ::recv(m_descriptor, chunk, sizeof chunk, 0);
            if (got > 0) {
                m_buffer.append(chunk, std::size_t(got));
            } else if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
                if (!await(m_descriptor, POLLIN, deadline))
                    return Read::timedOut;
            } else {
                return Read::closed;
            }
        }
    }

private:
    int m_descriptor;
    std::string m_buffer;
};

} // namespace

std::optional<std::string> CommandForwarder::socketPath()
{
    std::string folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); usableRuntimeFolder(runtime))
        folder = std::string(runtime) + "/ventrel";
    if (folder.empty() || !ownedAndPrivate(folder, true)) {
        const char* temporary = std::getenv("TMPDIR");
        folder = std::string(temporary && *temporary ? temporary : "/tmp") + "/ventrel-" + std::to_string(::getuid());
        if (!ownedAndPrivate(folder, true))
            return std::nullopt;
    }
    std::string socket = folder + "/instance";
    if (!ownedAndPrivate(socket, false))
        return std::nullopt;
    return socket;
}

CommandForwarder::Result CommandForwarder::forward(const std::string& socketPath,
                                                   const std::vector<std::string>& arguments)
{
    const std::optional<std::string> request = CommandProtocol::encodeRequest(arguments);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (!request || socketPath.size() >= sizeof address.sun_path)
        return {Outcome::refused, {}};
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);

    Connection connection(::socket(AF_UNIX, SOCK_STREAM, 0));
    const int descriptor = connection.descriptor();
    if (descriptor < 0 || ::fcntl(descriptor, F_SETFD, FD_CLOEXEC) != 0
        || ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) | O_NONBLOCK) != 0)
        return {Outcome::notRunning, {}};
#ifdef SO_NOSIGPIPE
    // Where send() has no MSG_NOSIGNAL, an app that hangs up must not end us.
    const int on = 1;
    ::setsockopt(descriptor, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
    const auto takenBy = Clock::now() + CommandProtocol::takenTimeout;
    // A full backlog answers EAGAIN: the app has stopped taking connections.
    while (::connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == EAGAIN)
            return {Outcome::noAnswer, {}};
        if (errno != EINTR)
            return {Outcome::notRunning, {}};
    }
    if (!peerIsSameUser(descriptor))
        return {Outcome::notRunning, {}};
    if (!connection.send(*request, takenBy))
        return {Outcome::noAnswer, {}};

    std::string line;
    switch (connection.readLine(line, takenBy)) {
    case Connection::Read::timedOut:
        return {Outcome::noAnswer, {}};
    case Connection::Read::closed:
        return {Outcome::refused, {}};
    case Connection::Read::line:
        if (line != CommandProtocol::taken)
            return {Outcome::refused, {}};
    }
    switch (connection.readLine(line, Clock::now() + CommandProtocol::resultTimeout)) {
    case Connection::Read::timedOut:
        return {Outcome::unfinished, {}};
    case Connection::Read::closed:
        return {Outcome::stopped, {}};
    case Connection::Read::line:
        break;
    }
    std::optional<CommandProtocol::Reply> reply = CommandProtocol::decodeReply(line);
    if (!reply)
        return {Outcome::stopped, {}};
    return {Outcome::answered, std::move(*reply)};
}
