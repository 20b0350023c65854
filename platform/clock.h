// The millisecond clock: a 32-bit tick count that wraps like the Win32 one.
// Tests and the capture tool drive it by hand instead.
#pragma once

#include <cstdint>

namespace platform {

uint32_t ClockTicks();

// From now on ClockTicks returns a value set by hand, starting at start.
void ClockUseManual(uint32_t start);
void ClockSet(uint32_t now);
void ClockAdvance(uint32_t milliseconds);
// Back to the real clock.
void ClockUseSystem();

}  // namespace platform
