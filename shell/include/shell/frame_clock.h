// Paces the main loop's frames from a millisecond tick count.
#pragma once
#include <cstdint>

// The tick source, milliseconds since system start; GetTickCount unless a test replaces it.
extern std::uint32_t (*FrameTicks)();

// True when a frame is due at `rate` frames a second: on the first call, then once more than
// 1/rate seconds of ticks have passed since the last due frame (34 ms at 30 a second). The
// arithmetic is unsigned, so it keeps working when the 32-bit tick count wraps.
bool FrameClock(int rate);

// Forgets the last frame, so that the next call is a first call again.
void ResetFrameClock();
