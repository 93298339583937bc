#include "app/CommandProtocol.h"

#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

// What picks the window backend (WindowSystemFactory), the bus it talks over,
// and where the settings live.
constexpr std::array<const char*, 9> sessionVariables{"VENTREL_BACKEND", "SWAYSOCK", "I3SOCK", "WAYLAND_DISPLAY",
                                                      "DISPLAY", "XDG_SESSION_TYPE", "DBUS_SESSION_BUS_ADDRESS",
                                                      "XDG_CONFIG_HOME", "HOME"};

constexpr std::string_view hexDigits = "0123456789ABCDEF";

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendEncoded(std::string& line, std::string_view field)
{
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '%') {
            line += '%';
            line += hexDigits[byte >> 4];
            line += hexDigits[byte & 0xF];
        } else {
            line += c;
        }
    }
}

std::optional<std::string> decodeField(std::string_view field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            text += field[i];
            continue;
        }
        if (i + 2 >= field.size())
            return std::nullopt;
        const int high = hexValue(field[i + 1]), low = hexValue(field[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        text += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return text;
}

void appendUtf8(std::string& text, std::uint32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendJsonString(std::string& json, std::string_view text)
{
    json += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            json += "\\u00";
            json += hexDigits[byte >> 4];
            json += hexDigits[byte & 0xF];
        } else {
            json += c;
        }
    }
    json += '"';
}

// Reads the one flat object of a reply: string and integer members only.
class ReplyReader {
public:
    explicit ReplyReader(std::string_view text) : m_text(text) {}

    std::optional<CommandProtocol::Reply> read()
    {
        CommandProtocol::Reply reply;
        bool hasStatus = false;
        if (!take('{'))
            return std::nullopt;
        for (bool first = true; !take('}'); first = false) {
            if (!first && !take(','))
                return std::nullopt;
            const std::optional<std::string> key = string();
            if (!key || !take(':'))
                return std::nullopt;
            if (*key == "status") {
                const std::optional<int> status = integer();
                if (!status)
                    return std::nullopt;
                reply.status = *status;
                hasStatus = true;
            } else {
                std::optional<std::string> value = string();
                if (!value)
                    return std::nullopt;
                if (*key == "stdout")
                    reply.out = std::move(*value);
                else if (*key == "stderr")
                    reply.err = std::move(*value);
            }
        }
        if (!hasStatus || m_at != m_text.size())
            return std::nullopt;
        return reply;
    }

private:
    bool take(char c)
    {
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    std::optional<int> integer()
    {
        int value = 0;
        const std::size_t start = m_at;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9' && m_at - start < 3)
            value = value * 10 + (m_text[m_at++] - '0');
        if (m_at == start)
            return std::nullopt;
        return value;
    }

    std::optional<std::uint32_t> hex4()
    {
        if (m_text.size() - m_at < 4)
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexValue(m_text[m_at++]);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + std::uint32_t(digit);
        }
        return value;
    }

    std::optional<std::string> string()
    {
        if (!take('"'))
            return std::nullopt;
        std::string text;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"')
                return text;
            if (static_cast<unsigned char>(c) < 0x20)
                return std::nullopt;
            if (c != '\\') {
                text += c;
                continue;
            }
            if (m_at == m_text.size())
                return std::nullopt;
            switch (const char escaped = m_text[m_at++]) {
            case '"': case '\\': case '/': text += escaped; break;
            case 'b': text += '\b'; break;
            case 'f': text += '\f'; break;
            case 'n': text += '\n'; break;
            case 'r': text += '\r'; break;
            case 't': text += '\t'; break;
            case 'u': {
                std::optional<std::uint32_t> c1 = hex4();
                if (!c1 || (*c1 >= 0xDC00 && *c1 < 0xE000))
                    return std::nullopt;
                if (*c1 >= 0xD800 && *c1 < 0xDC00) {
                    if (!take('\\') || !take('u'))
                        return std::nullopt;
                    const std::optional<std::uint32_t> c2 = hex4();
                    if (!c2 || *c2 < 0xDC00 || *c2 >= 0xE000)
                        return std::nullopt;
                    c1 = 0x10000 + ((*c1 - 0xD800) << 10) + (*c2 - 0xDC00);
                }
                appendUtf8(text, *c1);
                break;
            }
            default:
                return std::nullopt;
            }
        }
        return std::nullopt;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

} // namespace

std::string CommandProtocol::environmentFingerprint()
{
    std::string fingerprint;
    for (const char* name : sessionVariables) {
        const char* value = std::getenv(name);
        fingerprint += name;
        fingerprint += '=';
        fingerprint += value ? value : "";
        fingerprint += '\n';
    }
    return fingerprint;
}

std::optional<std::string> CommandProtocol::encodeRequest(const std::vector<std::string>& arguments)
{
    std::string line(requestPrefix);
    appendEncoded(line, environmentFingerprint());
    for (const std::string& argument : arguments) {
        line += ' ';
        appendEncoded(line, argument);
    }
    line += '\n';
    if (line.size() > maximumRequestLength)
        return std::nullopt;
    return line;
}

std::optional<CommandProtocol::Request> CommandProtocol::decodeRequest(std::string_view line)
{
    if (line.size() > maximumRequestLength || !line.starts_with(requestPrefix))
        return std::nullopt;
    if (line.ends_with('\n'))
        line.remove_suffix(1);
    line.remove_prefix(requestPrefix.size());
    Request request;
    bool first = true;
    for (;;) {
        const std::size_t space = line.find(' ');
        const std::optional<std::string> field = decodeField(line.substr(0, space));
        if (!field)
            return std::nullopt;
        if (first)
            request.environment = *field;
        else
            request.arguments.push_back(*field);
        first = false;
        if (space == std::string_view::npos)
            break;
        line.remove_prefix(space + 1);
    }
    if (request.arguments.empty())
        return std::nullopt;
    return request;
}

std::string CommandProtocol::encodeReply(const Reply& reply)
{
    std::string json = "{\"status\":" + std::to_string(reply.status) + ",\"stdout\":";
    appendJsonString(json, reply.out);
    json += ",\"stderr\":";
    appendJsonString(json, reply.err);
    json += "}\n";
    return json;
}

std::optional<CommandProtocol::Reply> CommandProtocol::decodeReply(std::string_view line)
{
    if (line.ends_with('\n'))
        line.remove_suffix(1);
    return ReplyReader(line).read();
}
