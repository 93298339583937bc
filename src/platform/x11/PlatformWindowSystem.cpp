#include "platform/x11/NullWindowSystem.h"
#include "platform/x11/X11WindowSystem.h"

std::unique_ptr<WindowSystem> WindowSystem::create()
{
    if (std::unique_ptr<X11WindowSystem> x11 = X11WindowSystem::connect())
        return x11;
    return std::make_unique<NullWindowSystem>();
}
