#include "shell/frame_clock.h"

#include <windows.h>

namespace {

std::uint32_t SystemTicks()
{
    return GetTickCount();
}

std::uint32_t lastFrame;  // tick count at the last due frame
bool started;             // false until the first frame

}  // namespace

std::uint32_t (*FrameTicks)() = SystemTicks;

bool FrameClock(int rate)
{
    const std::uint32_t now = FrameTicks();
    // Modular subtraction gives the true elapsed time across a wrap of the tick count.
    const std::uint32_t elapsed = now - lastFrame;
    if (started && rate > 0 && std::uint64_t{elapsed} * static_cast<std::uint64_t>(rate) <= 1000)
        return false;
    started = true;
    lastFrame = now;
    return true;
}

void ResetFrameClock()
{
    started = false;
    lastFrame = 0;
}
