#include "platform/Platform.h"

#include "platform/LinuxPlatform.h"

namespace {

Platform* g_platform = nullptr;

} // namespace

Platform& Platform::instance()
{
    static LinuxPlatform linux;
    return g_platform ? *g_platform : linux;
}

void Platform::install(Platform* platform)
{
    g_platform = platform;
}
