#include "window/WindowSystem.h"

#include <cmath>

QRect WindowSystem::pixelFrame(const QRectF& frame)
{
    const auto edge = [](double value) { return static_cast<int>(std::lround(value)); };
    const int left = edge(frame.left());
    const int top = edge(frame.top());
    return {left, top, edge(frame.left() + frame.width()) - left, edge(frame.top() + frame.height()) - top};
}
