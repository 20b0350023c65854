// Starts a Windows program the way the desktop does: with no standard
// handles at all, so that it has no stderr to write to. Waits for it and
// exits with its exit status (2 when it cannot be started).
// Usage: launch_without_stderr PROGRAM
#include <cstdio>

#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: launch_without_stderr PROGRAM\n");
        return 2;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;  // and all three are null
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "launch_without_stderr: cannot start %s (error %lu)\n", argv[1],
                     static_cast<unsigned long>(GetLastError()));
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 2;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
