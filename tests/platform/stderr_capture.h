// Captures what the code under test writes on stderr, for the tests that
// check a refusal's message.
//
// GoogleTest's capture swaps file descriptor 2 with dup2(); the WebAssembly
// build's file system under Node has no such dup2 (it closes the process's
// real stderr and fails), so there stream 2 of the file system is pointed at
// a temporary file instead while the capture lasts.
#pragma once

#include <gtest/gtest.h>

#include <string>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#endif

namespace stderr_capture {

#ifdef __EMSCRIPTEN__

struct Capture {
    std::string name;
    int fd = -1;
};

inline Capture& Current() {
    static Capture capture;
    return capture;
}

inline void Begin() {
    char name[] = "/tmp/karido_stderr.XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_NE(fd, -1) << "cannot make a file for the captured stderr";
    Current() = Capture{name, fd};
    std::fflush(nullptr);
    // Stream 2 becomes a copy of the file's stream under number 2, which
    // writes through the file's descriptor; the real stream is kept aside,
    // and the file stays open, until End().
    // EM_ASM's JavaScript names its arguments $0, $1...
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wdollar-in-identifier-extension"
    EM_ASM(
        {
            var file = FS.getStream($0);
            var captured = Object.assign({}, file);
            captured.fd = 2;
            Module.karidoRealStderr = FS.streams[2];
            FS.streams[2] = captured;
        },
        fd);
#pragma clang diagnostic pop
}

inline std::string End() {
    Capture& capture = Current();
    if (capture.fd == -1) {
        return "(stderr was not captured)";
    }
    std::fflush(nullptr);
    EM_ASM({ FS.streams[2] = Module.karidoRealStderr; });
    close(capture.fd);
    capture.fd = -1;
    std::string text;
    if (std::FILE* file = std::fopen(capture.name.c_str(), "rb")) {
        char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            text.append(buffer, got);
        }
        std::fclose(file);
    }
    std::remove(capture.name.c_str());
    return text;
}

#else

inline void Begin() { testing::internal::CaptureStderr(); }
inline std::string End() { return testing::internal::GetCapturedStderr(); }

#endif

}  // namespace stderr_capture
