// A GUI program's stderr is a handle when it was started from a console with
// its output redirected, or by a test; there is none when it was started
// from the desktop, and a line written to it would go nowhere: the line is
// then shown in a message box.
#include <cstdio>

#include "platform/report.h"

#include <windows.h>

namespace platform {

namespace {

bool HasStderr() {
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void ReportFailureLine(const char* line) {
    if (HasStderr()) {
        std::fprintf(stderr, "%s\n", line);
        return;
    }
    MessageBoxA(nullptr, line, "KARIDO", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace platform
