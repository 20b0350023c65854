# The browser backend's settings for the build (KARIDO_BACKEND=web, the web
# preset): WebAssembly with threads, built with emscripten; the program is a
# page, and the tests run under Node.
if(NOT EMSCRIPTEN)
  message(FATAL_ERROR "KARIDO_BACKEND=web needs emscripten's toolchain (the web preset)")
endif()
set(KARIDO_BACKEND_LIBRARY karido_platform_web)
# Failures are said on stderr, which the page shows.
set(KARIDO_BACKEND_PLATFORM_SOURCES report_stderr.cpp)
set(KARIDO_BACKEND_PLATFORM_LIBRARIES "")
set(KARIDO_BACKEND_RESOURCE_COMPILER OFF)

# Every thread lives in one fixed block of shared memory (growing shared
# memory slows every access to it). The threads are workers started
# before main runs: a thread started and joined before the browser gets
# control back would wait for a worker that cannot start.
set(karido_web_link_options -pthread -sALLOW_MEMORY_GROWTH=0)

# emscripten's JavaScript optimiser, run at every link, finds Debian's acorn
# module only through NODE_PATH; every link gets it, whoever runs the build.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# The tests: each a Node program that uses the machine's files, ends with
# its status, and may start a few threads of its own.
set(CMAKE_CROSSCOMPILING_EMULATOR node --no-experimental-fetch)
set(KARIDO_BACKEND_TEST_LINK_OPTIONS ${karido_web_link_options}
    -sINITIAL_MEMORY=256MB -sPTHREAD_POOL_SIZE=4 -sPTHREAD_POOL_SIZE_STRICT=2
    -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sENVIRONMENT=node,worker)

# The program: karido.html with its .js, .worker.js and .wasm. One worker,
# the render thread's; the page's own script is the shell, kept as written
# (the minifier of emscripten 3.1.6 fails on it).
function(karido_backend_program target)
  set_target_properties(${target} PROPERTIES SUFFIX .html
    LINK_DEPENDS ${PROJECT_SOURCE_DIR}/platform/web/shell.html)
  target_link_options(${target} PRIVATE ${karido_web_link_options}
    -sINITIAL_MEMORY=64MB -sPTHREAD_POOL_SIZE=1 -sENVIRONMENT=web,worker -sMINIFY_HTML=0
    "SHELL:--shell-file ${PROJECT_SOURCE_DIR}/platform/web/shell.html")
endfunction()
