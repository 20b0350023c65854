// The system's millisecond clock, for backends whose window clock is the
// machine's own. The program itself reads time only through its window
// (WindowTicks in platform/window.h), so a backend can drive it by hand.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a monotonic clock as a 32-bit count that wraps like the
// Win32 tick count (after about 49.7 days). Any thread; never blocks.
uint32_t ClockSystemTicks();

}  // namespace platform
