#pragma once

#include "platform/macos/CFRef.h"
#include "window/Window.h"

#include <ApplicationServices/ApplicationServices.h>

// A window of another application, reached through its accessibility element.
// Plain C++ on the outside, so nothing else sees Objective-C.
class MacWindow final : public Window {
public:
    // Takes over the element's reference.
    MacWindow(AXUIElementRef element, const QRectF& frame);

    QRectF frame() const override { return m_frame; }
    // "AXPosition" then "AXSize", each written once; the size is written
    // whatever became of the position. Either failing is refused.
    std::expected<QRectF, PlatformError> setFrame(const QRectF& frame) override;
    std::expected<QRectF, PlatformError> setSize(const QSizeF& size) override;

    // The element's "AXPosition" and "AXSize" as one frame, or nothing.
    static std::optional<QRectF> readFrame(AXUIElementRef element);

private:
    std::expected<QRectF, PlatformError> readBack(bool failed);

    CFRef<AXUIElementRef> m_element;
    QRectF m_frame;
};
