// Where a program always has a stderr: the line goes there.
#include <cstdio>

#include "platform/report.h"

namespace platform {

void ReportFailureLine(const char* line) {
    std::fprintf(stderr, "%s\n", line);
}

}  // namespace platform
