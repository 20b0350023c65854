# The Win32 backend's settings for the build (KARIDO_BACKEND=win32, the
# windows preset): the native Windows program, cross-compiled with mingw-w64,
# its tests run under Wine.
if(NOT WIN32)
  message(FATAL_ERROR "KARIDO_BACKEND=win32 needs a Windows toolchain (the windows preset)")
endif()
set(KARIDO_BACKEND_LIBRARY karido_platform_win32)
# Failures are said on stderr where the program has one, else in a message box.
set(KARIDO_BACKEND_PLATFORM_SOURCES win32/report.cpp)
set(KARIDO_BACKEND_PLATFORM_LIBRARIES user32)
# The resource compiler turns the resource script into the executable's own
# resources, which the lookups ask the system for.
set(KARIDO_BACKEND_RESOURCE_COMPILER ON)
enable_language(RC)

# The Windows programs the tests run go through Wine, in a Wine prefix of
# this build's own.
configure_file(${PROJECT_SOURCE_DIR}/scripts/wine_run.sh.in
  ${PROJECT_BINARY_DIR}/wine/run.sh @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                   WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine/run.sh)

# The executable: a GUI program (no console) that needs no library beside it.
function(karido_backend_program target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
endfunction()
