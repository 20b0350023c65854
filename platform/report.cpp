#include "platform/report.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace platform {

void ReportFailure(const char* format, ...) {
    char line[512] = "karido: ";
    const size_t prefix = std::strlen(line);
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line + prefix, sizeof line - prefix, format, arguments);
    va_end(arguments);
    ReportFailureLine(line);
}

}  // namespace platform
