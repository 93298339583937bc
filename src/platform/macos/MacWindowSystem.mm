#include "platform/macos/MacWindowSystem.h"

#import <AppKit/AppKit.h>
#import <ApplicationServices/ApplicationServices.h>

#include <unistd.h>

#include <utility>

namespace {

constexpr int failure = kAXErrorFailure;

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

// The attribute names as run-time strings: the CFSTR constants expand to
// casts that the project's warnings refuse.
CFRef<CFStringRef> attribute(const char* name)
{
    return CFRef<CFStringRef>(CFStringCreateWithCString(kCFAllocatorDefault, name, kCFStringEncodingUTF8));
}

struct AXElement final : WindowSystem::Element {
    explicit AXElement(AXUIElementRef element) : ref(element) {}
    CFRef<AXUIElementRef> ref;
};

AXUIElementRef axElement(const WindowSystem::Element& element)
{
    const auto* ax = dynamic_cast<const AXElement*>(&element);
    return ax ? ax->ref.get() : nullptr;
}

int setValue(const WindowSystem::Element& window, const char* name, AXValueType type, const void* value)
{
    const AXUIElementRef element = axElement(window);
    const CFRef<CFStringRef> key = attribute(name);
    const CFRef<AXValueRef> wrapped(AXValueCreate(type, value));
    if (!element || !key || !wrapped)
        return failure;
    return AXUIElementSetAttributeValue(element, key.get(), wrapped.get());
}

QRectF toRect(NSRect rect)
{
    return {rect.origin.x, rect.origin.y, rect.size.width, rect.size.height};
}

} // namespace

bool MacWindowSystem::isProcessTrusted(bool prompt)
{
    const void* keys[] = {kAXTrustedCheckOptionPrompt};
    const void* values[] = {prompt ? kCFBooleanTrue : kCFBooleanFalse};
    const CFRef<CFDictionaryRef> options(CFDictionaryCreate(kCFAllocatorDefault, keys, values, 1,
                                                            &kCFTypeDictionaryKeyCallBacks,
                                                            &kCFTypeDictionaryValueCallBacks));
    return AXIsProcessTrustedWithOptions(options.get());
}

std::optional<WindowSystem::ApplicationId> MacWindowSystem::frontmostApplication()
{
    @autoreleasepool {
        NSRunningApplication* application = [[NSWorkspace sharedWorkspace] frontmostApplication];
        if (!application)
            return std::nullopt;
        const pid_t pid = [application processIdentifier];
        if (pid <= 0 || pid == ::getpid())
            return std::nullopt;
        return static_cast<ApplicationId>(pid);
    }
}

WindowSystem::ElementPtr MacWindowSystem::createApplicationElement(ApplicationId application)
{
    AXUIElementRef element = AXUIElementCreateApplication(static_cast<pid_t>(application));
    if (!element)
        return nullptr;
    return std::make_unique<AXElement>(element);
}

WindowSystem::FocusedWindow MacWindowSystem::copyFocusedWindow(const Element& application)
{
    const AXUIElementRef app = axElement(application);
    const CFRef<CFStringRef> key = attribute("AXFocusedWindow");
    if (!app || !key)
        return {failure, nullptr};
    CFTypeRef value = nullptr;
    const AXError status = AXUIElementCopyAttributeValue(app, key.get(), &value);
    CFRef<CFTypeRef> owned(value);
    if (status != kAXErrorSuccess || !owned || CFGetTypeID(owned.get()) != AXUIElementGetTypeID())
        return {status, nullptr};
    // Hand the reference over to the element, which releases it.
    CFRetain(owned.get());
    return {status, std::make_unique<AXElement>(static_cast<AXUIElementRef>(owned.get()))};
}

std::optional<WindowSystem::Screen> MacWindowSystem::mainScreen()
{
    @autoreleasepool {
        NSScreen* screen = [NSScreen mainScreen];
        if (!screen)
            return std::nullopt;
        return Screen{toRect([screen frame]), toRect([screen visibleFrame])};
    }
}

int MacWindowSystem::setPosition(const Element& window, QPointF position)
{
    const CGPoint point = CGPointMake(position.x(), position.y());
    return setValue(window, "AXPosition", kAXValueTypeCGPoint, &point);
}

int MacWindowSystem::setSize(const Element& window, QSizeF size)
{
    const CGSize value = CGSizeMake(size.width(), size.height());
    return setValue(window, "AXSize", kAXValueTypeCGSize, &value);
}
