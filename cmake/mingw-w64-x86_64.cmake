# Cross-compiling for 64-bit Windows with Debian's mingw-w64: the compilers
# of the posix-threads flavour (std::thread works), windres for the resource
# script, and the target's own headers and libraries only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KARIDO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KARIDO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KARIDO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_ASM_COMPILER ${KARIDO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_RC_COMPILER ${KARIDO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KARIDO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
