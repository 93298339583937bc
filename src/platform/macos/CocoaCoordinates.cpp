#include "platform/macos/CocoaCoordinates.h"

QRectF CocoaCoordinates::toTopLeft(const QRectF& cocoa, double primaryHeight)
{
    return {cocoa.x(), primaryHeight - cocoa.y() - cocoa.height(), cocoa.width(), cocoa.height()};
}

WindowSystem::Screens CocoaCoordinates::toScreens(const std::vector<CocoaScreen>& screens, std::optional<size_t> main)
{
    WindowSystem::Screens result;
    if (screens.empty())
        return result;
    const double primaryHeight = screens.front().frame.height();
    for (const CocoaScreen& s : screens)
        result.all.push_back({toTopLeft(s.frame, primaryHeight), toTopLeft(s.visibleFrame, primaryHeight)});
    if (main && *main < screens.size())
        result.main = main;
    return result;
}
