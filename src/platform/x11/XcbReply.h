#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
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
