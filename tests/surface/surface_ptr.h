// Surfaces owned by tests: released when the test ends.
#pragma once

#include <memory>

#include "surface/surface.h"

namespace testing_surface {

struct SurfaceDeleter {
    void operator()(Surface* s) const { SurfaceDestroy(s); }
};
using SurfacePtr = std::unique_ptr<Surface, SurfaceDeleter>;

}  // namespace testing_surface
