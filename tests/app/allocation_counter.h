// Counts the heap allocations of the whole test program while counting is
// on: operator new in all its forms, and, calloc, realloc and aligned_alloc through the linker's --wrap (see
// karido_counted_allocations in tests/app/CMakeLists.txt).
#pragma once

namespace testing_app {

void AllocationCountingStart();  // resets the count to 0 and starts counting
long AllocationCountingStop();   // stops; returns the count
long AllocationCount();          // so far, counting or not

}  // namespace testing_app
