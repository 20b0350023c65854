# The SDL backend's settings for the build (KARIDO_BACKEND=sdl, the default):
# the program in a window of the Linux desktop, built and run on this machine.
set(KARIDO_BACKEND_LIBRARY karido_platform_sdl)
# Failures are said on stderr.
set(KARIDO_BACKEND_PLATFORM_SOURCES report_stderr.cpp)
set(KARIDO_BACKEND_PLATFORM_LIBRARIES "")
# The resources are linked in by the assembler (.incbin), not by a resource
# compiler of the system's.
set(KARIDO_BACKEND_RESOURCE_COMPILER OFF)

# The executable: nothing beyond linking the backend.
function(karido_backend_program target)
endfunction()
