#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <utility>

// Owns one Core Foundation reference (a "Create" or "Copy" result) and
// releases it on every path.
template <class T>
class CFRef {
public:
    CFRef() = default;
    explicit CFRef(T ref) : m_ref(ref) {}
    CFRef(CFRef&& other) noexcept : m_ref(std::exchange(other.m_ref, nullptr)) {}
    CFRef& operator=(CFRef&& other) noexcept
    {
        std::swap(m_ref, other.m_ref);
        return *this;
    }
    CFRef(const CFRef&) = delete;
    CFRef& operator=(const CFRef&) = delete;
    ~CFRef()
    {
        if (m_ref)
            CFRelease(m_ref);
    }
    T get() const { return m_ref; }
    explicit operator bool() const { return m_ref != nullptr; }

private:
    T m_ref = nullptr;
};
