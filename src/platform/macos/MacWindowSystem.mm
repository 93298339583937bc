#include "platform/macos/MacWindowSystem.h"

#include "platform/macos/CFRef.h"
#include "platform/macos/CocoaCoordinates.h"
#include "platform/macos/MacWindow.h"

#import <AppKit/AppKit.h>
#import <ApplicationServices/ApplicationServices.h>

#include <unistd.h>

namespace {

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

std::expected<std::unique_ptr<Window>, PlatformError> MacWindowSystem::focusedWindow()
{
    pid_t pid = 0;
    @autoreleasepool {
        NSRunningApplication* application = [[NSWorkspace sharedWorkspace] frontmostApplication];
        pid = application ? [application processIdentifier] : 0;
    }
    if (pid <= 0 || pid == ::getpid())
        return std::unexpected(PlatformError::noFrontmostApplication);

    const CFRef<AXUIElementRef> app(AXUIElementCreateApplication(pid));
    const CFRef<CFStringRef> key(CFStringCreateWithCString(kCFAllocatorDefault, "AXFocusedWindow", kCFStringEncodingUTF8));
    if (!app || !key)
        return std::unexpected(PlatformError::noFocusedWindow);
    CFTypeRef value = nullptr;
    const AXError status = AXUIElementCopyAttributeValue(app.get(), key.get(), &value);
    CFRef<CFTypeRef> owned(value);
    if (status != kAXErrorSuccess || !owned || CFGetTypeID(owned.get()) != AXUIElementGetTypeID())
        return std::unexpected(PlatformError::noFocusedWindow);
    const auto element = static_cast<AXUIElementRef>(owned.get());
    const std::optional<QRectF> frame = MacWindow::readFrame(element);
    // Hand the reference over to the window, which releases it.
    CFRetain(element);
    return std::make_unique<MacWindow>(element, frame.value_or(QRectF()));
}

WindowSystem::Screens MacWindowSystem::screens()
{
    @autoreleasepool {
        std::vector<CocoaCoordinates::CocoaScreen> all;
        std::optional<size_t> main;
        NSScreen* mainScreen = [NSScreen mainScreen];
        for (NSScreen* screen in [NSScreen screens]) {
            if (screen == mainScreen)
                main = all.size();
            all.push_back({toRect([screen frame]), toRect([screen visibleFrame])});
        }
        return CocoaCoordinates::toScreens(all, main);
    }
}
