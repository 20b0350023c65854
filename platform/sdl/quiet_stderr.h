// Keeps the system libraries' own messages off stderr while SDL opens the
// display, the renderer and the sound device. Those libraries (X, Wayland,
// GL drivers, the sound servers) report what they cannot do on stderr by
// themselves, many lines of it, in their own words; the program either goes
// on without what failed or says in one line of its own why it cannot.
// Only around the libraries' own start-up and shutdown, on the user-interface
// thread, while the render thread does not run: stderr belongs to the whole
// process. The program's own lines are written after it has gone.
#pragma once

#include <fcntl.h>
#include <unistd.h>

namespace platform {

// While it lives, stderr goes to /dev/null; afterwards it is what it was.
class QuietStderr {
   public:
    QuietStderr() : saved_(dup(STDERR_FILENO)) {
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) {
            dup2(null, STDERR_FILENO);
        }
        if (null >= 0) {
            close(null);
        }
    }
    ~QuietStderr() {
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
        }
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

   private:
    int saved_;
};

}  // namespace platform
