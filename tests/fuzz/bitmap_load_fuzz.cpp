// libFuzzer entry: any byte block handed to the bitmap loader is either
// refused or loaded, never read past its end.
#include <cstddef>
#include <cstdint>

#include "surface/bitmap_load.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SurfaceDestroy(SurfaceLoadDib(data, size));
    return 0;
}
