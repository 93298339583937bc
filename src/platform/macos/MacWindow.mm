#include "platform/macos/MacWindow.h"

namespace {

// The attribute names as run-time strings: the CFSTR constants expand to
// casts that the project's warnings refuse.
CFRef<CFStringRef> attribute(const char* name)
{
    return CFRef<CFStringRef>(CFStringCreateWithCString(kCFAllocatorDefault, name, kCFStringEncodingUTF8));
}

AXError setValue(AXUIElementRef element, const char* name, AXValueType type, const void* value)
{
    const CFRef<CFStringRef> key = attribute(name);
    const CFRef<AXValueRef> wrapped(AXValueCreate(type, value));
    if (!element || !key || !wrapped)
        return kAXErrorFailure;
    return AXUIElementSetAttributeValue(element, key.get(), wrapped.get());
}

bool copyValue(AXUIElementRef element, const char* name, AXValueType type, void* out)
{
    const CFRef<CFStringRef> key = attribute(name);
    CFTypeRef value = nullptr;
    if (!key || AXUIElementCopyAttributeValue(element, key.get(), &value) != kAXErrorSuccess)
        return false;
    const CFRef<CFTypeRef> owned(value);
    return owned && CFGetTypeID(owned.get()) == AXValueGetTypeID() &&
           AXValueGetValue(static_cast<AXValueRef>(owned.get()), type, out);
}

} // namespace

MacWindow::MacWindow(AXUIElementRef element, const QRectF& frame) : m_element(element), m_frame(frame) {}

std::optional<QRectF> MacWindow::readFrame(AXUIElementRef element)
{
    CGPoint position{};
    CGSize size{};
    if (!copyValue(element, "AXPosition", kAXValueTypeCGPoint, &position) ||
        !copyValue(element, "AXSize", kAXValueTypeCGSize, &size))
        return std::nullopt;
    return QRectF(position.x, position.y, size.width, size.height);
}

std::expected<QRectF, PlatformError> MacWindow::readBack(bool failed)
{
    if (failed)
        return std::unexpected(PlatformError::refused);
    // The application applies an accepted change before the call returns.
    if (const std::optional<QRectF> now = readFrame(m_element.get()))
        m_frame = *now;
    return m_frame;
}

std::expected<QRectF, PlatformError> MacWindow::setFrame(const QRectF& frame)
{
    const CGPoint point = CGPointMake(frame.x(), frame.y());
    const CGSize size = CGSizeMake(frame.width(), frame.height());
    const AXError positionStatus = setValue(m_element.get(), "AXPosition", kAXValueTypeCGPoint, &point);
    const AXError sizeStatus = setValue(m_element.get(), "AXSize", kAXValueTypeCGSize, &size);
    return readBack(positionStatus != kAXErrorSuccess || sizeStatus != kAXErrorSuccess);
}

std::expected<QRectF, PlatformError> MacWindow::setSize(const QSizeF& size)
{
    const CGSize value = CGSizeMake(size.width(), size.height());
    return readBack(setValue(m_element.get(), "AXSize", kAXValueTypeCGSize, &value) != kAXErrorSuccess);
}
