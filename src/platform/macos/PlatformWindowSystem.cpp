#include "platform/macos/MacWindowSystem.h"

std::unique_ptr<WindowSystem> WindowSystem::create()
{
    return std::make_unique<MacWindowSystem>();
}
