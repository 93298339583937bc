#pragma once

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <memory>
#include <span>
#include <type_traits>

// xcb hands out every reply and error as malloc'd memory owned by the caller;
// holding them in these pointers means no path can leak one.
struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};

template <class T>
using XcbReply = std::unique_ptr<T, XcbFree>;

// Waits for the reply to cookie. An X error (a window that vanished, a bad
// value) gives an empty pointer; the error itself is freed here.
template <auto ReplyFunction, class Cookie>
auto xcbReply(xcb_connection_t* connection, Cookie cookie)
{
    xcb_generic_error_t* error = nullptr;
    auto* reply = ReplyFunction(connection, cookie, &error);
    std::free(error);
    return XcbReply<std::remove_pointer_t<decltype(reply)>>(reply);
}

// The 32-bit items of a property reply of the given type, or nothing when the
// property is missing or of another type or format.
inline std::span<const uint32_t> propertyValues(const xcb_get_property_reply_t* reply, xcb_atom_t type)
{
    if (!reply || reply->type != type || reply->format != 32)
        return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    return {values, static_cast<size_t>(xcb_get_property_value_length(reply)) / sizeof(uint32_t)};
}

// Whether the connection has something to read before the deadline.
inline bool xcbWaitReadable(xcb_connection_t* connection, std::chrono::steady_clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || xcb_connection_has_error(connection))
        return false;
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    const auto timeout = std::min<std::chrono::milliseconds::rep>(left.count(), std::numeric_limits<int>::max());
    return ::poll(&descriptor, 1, static_cast<int>(timeout)) > 0;
}

// The reply to a request, waited for until the deadline at most: xcb's own
// reply calls wait for as long as the server is silent. An X error gives an
// empty pointer; so does a reply that has not come, which is then discarded
// (it must not be taken for the reply to a later request) and sets timedOut.
template <class Reply>
XcbReply<Reply> xcbAwaitReply(xcb_connection_t* connection, unsigned int sequence,
                              std::chrono::steady_clock::time_point deadline, bool* timedOut = nullptr)
{
    xcb_flush(connection);
    for (;;) {
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        if (xcb_poll_for_reply(connection, sequence, &reply, &error)) {
            std::free(error);
            return XcbReply<Reply>(static_cast<Reply*>(reply));
        }
        if (!xcbWaitReadable(connection, deadline))
            break;
    }
    xcb_discard_reply(connection, sequence);
    if (timedOut)
        *timedOut = true;
    return nullptr;
}
