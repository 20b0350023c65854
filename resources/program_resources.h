// The resources linked into the karido executable, generated from karido.rc.
#pragma once

#include "platform/resource.h"

extern const platform::Module programResources;
