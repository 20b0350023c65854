// Tells the person who started the program, in one line, why it cannot run
// (no display, no window, a damaged resource, no memory). The line reads
// "karido: " and then the text made from format and the arguments, as
// printf makes it; a text longer than a line's room is cut short.
// On Linux the line goes to stderr. A Windows program started from the
// desktop has no stderr: there the line is shown in a message box, and the
// call returns once the box is closed.
// User-interface thread, during the start-up; never from the render thread.
#pragma once

namespace platform {

void ReportFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The system's part of ReportFailure: shows the whole line (without a line
// end). Each system's build has one.
void ReportFailureLine(const char* line);

}  // namespace platform
