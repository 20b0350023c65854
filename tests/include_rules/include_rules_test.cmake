# Runs the include-rules check on a small tree written under WORK_DIR and
# compares the offences it reports with the ones the tree holds.
# Run as: cmake -DRULES_SCRIPT=<include_rules.cmake> -DWORK_DIR=<dir> -DCASE=<case> -P include_rules_test.cmake
cmake_minimum_required(VERSION 3.25)

set(tree "${WORK_DIR}/${CASE}")
file(REMOVE_RECURSE "${tree}")
set(eol "\n")

# put(<path> <line>...): writes the lines, each ended by ${eol}.
function(put path)
  set(text "")
  foreach(line IN LISTS ARGN)
    string(APPEND text "${line}${eol}")
  endforeach()
  file(WRITE "${tree}/${path}" "${text}")
endfunction()

# Runs the check; sets <rc> to its exit code and <out> to what it printed.
function(run_check rc out)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${tree} ${ARGN} -P "${RULES_SCRIPT}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE text ERROR_VARIABLE text)
  set(${rc} "${result}" PARENT_SCOPE)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Fails unless the check failed and reported exactly the <expected> offences.
function(expect_offences rc out)
  if(rc EQUAL 0)
    message(FATAL_ERROR "The check passed a tree with offences:\n${out}")
  endif()
  foreach(offence IN LISTS ARGN)
    string(FIND "${out}" "${offence}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "The check did not report '${offence}':\n${out}")
    endif()
  endforeach()
  string(REGEX MATCHALL "[^ \n]+:[0-9]+: #include |[^ \n]+: in no folder" reported "${out}")
  list(LENGTH reported reported_count)
  list(LENGTH ARGN expected_count)
  if(NOT reported_count EQUAL expected_count)
    message(FATAL_ERROR "Expected ${expected_count} offences, the check reported ${reported_count}:\n${out}")
  endif()
endfunction()

function(expect_pass rc out checked)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "Include rules: ${checked} source files checked")
    message(FATAL_ERROR "Expected a pass over ${checked} files (exit ${rc}):\n${out}")
  endif()
endfunction()

if(CASE STREQUAL "two_offenders")
  put(surface/blit.cpp [[#include "surface/surface.h"]] [[#include <vector>]] [[#include "render/x.h"]])
  put(surface/surface.h [[#include "base/state.h"]])
  put(game/tick.cpp [[// The tick.]] [[#include "game/tick.h"]] [[#include <SDL.h>]])
  run_check(rc out)
  expect_offences("${rc}" "${out}"
    [[surface/blit.cpp:3: #include "render/x.h" (surface/ may not include render/)]]
    [[game/tick.cpp:3: #include <SDL.h> (game/ may not include SDL headers)]])

  put(surface/blit.cpp [[#include "surface/surface.h"]] [[#include <vector>]])
  put(game/tick.cpp [[// The tick.]] [[#include "game/tick.h"]])
  run_check(rc out)
  expect_pass("${rc}" "${out}" 3)

elseif(CASE STREQUAL "table_edges")
  # The backends are folders of their own: platform/ does not admit them.
  put(app/main.cpp [[#include "app/program.h"]] [[#include "platform/window.h"]]
      [[#include "resources/program_resources.h"]] [[#include "platform/headless/headless.h"]]
      [[#include "platform/sdl/keys.h"]])
  put(platform/window.cpp [[#include "platform/window.h"]] [[#include "platform/sdl/keys.h"]]
      [[#include "surface/surface.h"]])
  put(platform/sdl/window.cpp [[#include <SDL2/SDL.h>]] [[#include "SDL_keycode.h"]]
      [[#include "platform/sdl/keys.h"]] [[#include "platform/window.h"]]
      [[#include "platform/headless/headless.h"]])
  put(platform/font_data.S.in [[/* data */]] [[#include "render/x.h"]])
  put(resources/program_resources.h [[#include "platform/resource.h"]])
  put(base/words.h [[#include "surface/surface.h"]])
  put(render/x.h [[#include "game/y.h"]])
  # SDL headers: in tests/ only under tests/platform/sdl/, never in tools/.
  put(tests/platform/sdl/keys_test.cpp [[#include <SDL.h>]] [[#include "platform/sdl/keys.h"]])
  put(tests/platform/text_test.cpp [[#include "platform/sdl/keys.h"]] [[#include <SDL_keycode.h>]])
  put(tools/capture.cpp [[#include "app/program.h"]] [[#include "platform/headless/headless.h"]]
      [[#include <SDL.h>]])
  put(bench/frame_bench.cpp [[#include <SDL.h>]] [[#include "platform/sdl/keys.h"]])
  # A header found beside the file, one reached through "..", one through
  # brackets, a commented-out include and a macro include; CRLF line ends.
  set(eol "\r\n")
  put(surface/blit.cpp [[#include "blit_kernels.h"]] [[// #include "render/x.h"]]
      [[  #  include "../render/x.h"]] [[#include <render/x.h>]] [[#include <vector>]]
      [[#include FT_FREETYPE_H]] [[#include "docs/notes.h"]])
  set(eol "\n")
  put(surface/blit_kernels.h [[#include <cstdint>]])
  # Folders the table does not name.
  put(docs/notes.h [[#include <cstdint>]])
  put(main.cpp [[#include <cstdint>]])
  # Skipped: build folders, build trees, the check's own folder, other files.
  put(build-debug/gen.cpp [[#include <SDL.h>]])
  put(render/build/gen.h [[#include "app/x.h"]])
  put(out/CMakeCache.txt [[# cache]])
  put(out/gen.cpp [[#include <SDL.h>]])
  put(tests/out/CMakeCache.txt [[# cache]])
  put(tests/out/gen.cpp [[#include <SDL.h>]])
  put(gen/config.h [[#include <SDL.h>]])
  put(cmake/x.h [[#include <SDL.h>]])
  put(game/notes.txt [[#include <SDL.h>]])

  run_check(rc out -DBINARY_DIR=${tree}/gen)
  expect_offences("${rc}" "${out}"
    [[app/main.cpp:4: #include "platform/headless/headless.h" (app/ may not include platform/headless/)]]
    [[app/main.cpp:5: #include "platform/sdl/keys.h" (app/ may not include platform/sdl/)]]
    [[platform/window.cpp:2: #include "platform/sdl/keys.h"]]
    [[platform/window.cpp:3: #include "surface/surface.h"]]
    [[platform/sdl/window.cpp:5: #include "platform/headless/headless.h"]]
    [[platform/font_data.S.in:2: #include "render/x.h"]]
    [[base/words.h:1: #include "surface/surface.h"]]
    [[tests/platform/text_test.cpp:2: #include <SDL_keycode.h>]]
    [[tools/capture.cpp:3: #include <SDL.h>]]
    [[surface/blit.cpp:3: #include "../render/x.h" (surface/ may not include render/)]]
    [[surface/blit.cpp:4: #include <render/x.h>]]
    [[surface/blit.cpp:7: #include "docs/notes.h" (surface/ may not include docs/, which has no include rules)]]
    [[docs/notes.h: in no folder]]
    [[main.cpp: in no folder]])
  if(NOT out MATCHES "Include rules: 14 offence\\(s\\) in the 15 source files checked")
    message(FATAL_ERROR "Expected 14 offences in 15 files checked:\n${out}")
  endif()

else()
  message(FATAL_ERROR "Unknown CASE '${CASE}'")
endif()
