# Checks which folder of the tree may include which. Every include of a
# project header ("surface/surface.h", found through the tree root on the
# include path, or next to the including file) and every SDL header must be
# allowed by the table below; other system headers are free. A source file in
# a folder the table does not name is an offence too, so that a new folder is
# given its rules before it grows includes.
#
# Run as: cmake -DSOURCE_DIR=<tree> [-DBINARY_DIR=<build tree>] -P include_rules.cmake
# Prints one status line when every include is allowed; otherwise fails with
# one "file:line: include (reason)" line per offending include.
cmake_minimum_required(VERSION 3.25)

# <folder of the including file> : <what it may include>
#   folder/  headers of that folder. A header's folder, like a file's, is the
#            longest folder of this table its path starts with, so "platform/"
#            does not admit the backends under "platform/sdl/",
#            "platform/win32/", "platform/web/" and "platform/headless/" (the
#            build links the backend into the program).
#   *        every project header.
#   <SDL>    SDL headers: <SDL.h>, "SDL_*.h", <SDL2/...>.
set(include_rules
  "base/               : base/"
  "platform/           : platform/"
  "platform/sdl/       : platform/ platform/sdl/ <SDL>"
  "platform/headless/  : platform/ platform/headless/"
  "platform/win32/     : platform/ platform/win32/"
  "platform/web/       : platform/ platform/web/"
  "resources/          : platform/ resources/"
  "surface/            : base/ platform/ surface/"
  "game/               : base/ platform/ surface/ game/"
  "render/             : base/ platform/ surface/ game/ render/"
  "app/                : base/ platform/ surface/ game/ render/ resources/ app/"
  "tools/              : *"
  "tests/              : *"
  "tests/platform/sdl/ : * <SDL>"
  "bench/              : * <SDL>")

set(source_globs *.c *.cc *.cpp *.cxx *.h *.hh *.hpp *.inc *.ipp *.S *.S.in)

if(NOT SOURCE_DIR OR NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "SOURCE_DIR is not set or is not a folder: '${SOURCE_DIR}'")
endif()
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" REALPATH)

# --- The table -------------------------------------------------------------
set(rule_folders "")
foreach(rule IN LISTS include_rules)
  if(NOT rule MATCHES "^([^ :]+/)[ ]*:[ ]*(.*)$")
    message(FATAL_ERROR "Include rule not of the form 'folder/ : allowed...': '${rule}'")
  endif()
  set(folder "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "[ ]+" ";" allowed "${CMAKE_MATCH_2}")
  list(APPEND rule_folders "${folder}")
  set("allowed_${folder}" ${allowed})
endforeach()
foreach(folder IN LISTS rule_folders)
  foreach(token IN LISTS "allowed_${folder}")
    if(NOT token MATCHES "^(\\*|<SDL>)$" AND NOT token IN_LIST rule_folders)
      message(FATAL_ERROR "Include rule of ${folder} allows '${token}', which the table does not name")
    endif()
  endforeach()
endforeach()

# The folder of the table that holds <path>: the longest one starting it,
# or "" when none does.
function(rule_folder_of path out)
  set(best "")
  foreach(folder IN LISTS rule_folders)
    string(FIND "${path}" "${folder}" at)
    string(LENGTH "${folder}" length)
    string(LENGTH "${best}" best_length)
    if(at EQUAL 0 AND length GREATER best_length)
      set(best "${folder}")
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

# --- The files -------------------------------------------------------------
# The build tree this check runs for is skipped wherever it lies, as is any
# other build tree (a folder holding a CMakeCache.txt, or named build*).
set(skipped_prefixes "")
if(BINARY_DIR)
  get_filename_component(binary_dir "${BINARY_DIR}" REALPATH)
  file(RELATIVE_PATH binary_rel "${SOURCE_DIR}" "${binary_dir}")
  if(NOT binary_rel STREQUAL "" AND NOT binary_rel MATCHES "^\\.\\./")
    list(APPEND skipped_prefixes "${binary_rel}/")
  endif()
endif()

# A first path element that names a folder of the tree (or of the table)
# marks an include of a project header.
set(project_names "")
foreach(folder IN LISTS rule_folders)
  string(REGEX REPLACE "/.*" "" name "${folder}")
  list(APPEND project_names "${name}")
endforeach()

set(top_globs "")
foreach(glob IN LISTS source_globs)
  list(APPEND top_globs "${SOURCE_DIR}/${glob}")
endforeach()
file(GLOB files RELATIVE "${SOURCE_DIR}" ${top_globs})

file(GLOB top_entries RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
foreach(entry IN LISTS top_entries)
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${entry}")
    continue()
  endif()
  list(APPEND project_names "${entry}")
  if(entry MATCHES "^(build.*|\\.git|cmake)$" OR EXISTS "${SOURCE_DIR}/${entry}/CMakeCache.txt")
    continue()
  endif()
  set(globs "${SOURCE_DIR}/${entry}/CMakeCache.txt")
  foreach(glob IN LISTS source_globs)
    list(APPEND globs "${SOURCE_DIR}/${entry}/${glob}")
  endforeach()
  file(GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" ${globs})
  foreach(path IN LISTS found)
    if(path MATCHES "^(.*/)CMakeCache\\.txt$")
      list(APPEND skipped_prefixes "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  list(FILTER found EXCLUDE REGEX "(^|/)CMakeCache\\.txt$")
  list(APPEND files ${found})
endforeach()
list(REMOVE_DUPLICATES project_names)

list(FILTER files EXCLUDE REGEX "(^|/)build[^/]*/")
foreach(prefix IN LISTS skipped_prefixes)
  string(REGEX REPLACE "([][+.*?()^$|\\\\])" "\\\\\\1" prefix_regex "${prefix}")
  list(FILTER files EXCLUDE REGEX "^${prefix_regex}")
endforeach()
list(SORT files)

# --- The includes ----------------------------------------------------------
set(offences "")
foreach(file IN LISTS files)
  rule_folder_of("${file}" folder)
  if(folder STREQUAL "")
    list(APPEND offences "${file}: in no folder of the include rules (give its folder a rule)")
    continue()
  endif()
  set(allowed ${allowed_${folder}})
  get_filename_component(file_dir "${file}" DIRECTORY)

  file(READ "${SOURCE_DIR}/${file}" text)
  # Walks the include lines in order; <rest> starts at the newline that ends
  # line <line_no>, so the match's leading newline begins the next line.
  set(rest "\n${text}")
  set(line_no 0)
  while(TRUE)
    string(REGEX MATCH "\n[ \t]*#[ \t]*include[^\n]*" match "${rest}")
    if(match STREQUAL "")
      break()
    endif()
    string(FIND "${rest}" "${match}" at)
    string(SUBSTRING "${rest}" 0 ${at} before)
    string(REGEX REPLACE "[^\n]" "" newlines "${before}")
    string(LENGTH "${newlines}" skipped)
    math(EXPR line_no "${line_no} + ${skipped} + 1")
    string(LENGTH "${match}" match_length)
    math(EXPR after "${at} + ${match_length}")
    string(SUBSTRING "${rest}" ${after} -1 rest)

    # Includes through a macro (#include FT_FREETYPE_H) name no file here.
    if(NOT match MATCHES "^\n[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]*)[>\"]")
      continue()
    endif()
    set(delimiter "${CMAKE_MATCH_1}")
    set(path "${CMAKE_MATCH_2}")
    if(delimiter STREQUAL "<")
      set(spelled "<${path}>")
    else()
      set(spelled "\"${path}\"")
    endif()
    set(where "${file}:${line_no}: #include ${spelled}")

    if(path MATCHES "^SDL2/" OR path MATCHES "^SDL(_[^/]*)?\\.h$")
      if(NOT "<SDL>" IN_LIST allowed)
        list(APPEND offences "${where} (${folder} may not include SDL headers)")
      endif()
      continue()
    endif()

    # The header the compiler would find: a quoted name next to the including
    # file first, then through the tree root; a bracketed one through the
    # tree root only, and only when the tree holds it.
    set(header "")
    if(delimiter STREQUAL "\"" AND NOT file_dir STREQUAL "")
      cmake_path(SET beside NORMALIZE "${file_dir}/${path}")
      if(NOT beside MATCHES "^\\.\\./" AND EXISTS "${SOURCE_DIR}/${beside}"
         AND NOT IS_DIRECTORY "${SOURCE_DIR}/${beside}")
        set(header "${beside}")
      endif()
    endif()
    if(header STREQUAL "")
      cmake_path(SET header NORMALIZE "${path}")
      if(delimiter STREQUAL "<" AND NOT EXISTS "${SOURCE_DIR}/${header}")
        continue()
      endif()
    endif()
    string(REGEX REPLACE "/.*" "" first_name "${header}")
    if(NOT header MATCHES "/" OR NOT first_name IN_LIST project_names)
      continue()
    endif()

    if("*" IN_LIST allowed)
      continue()
    endif()
    rule_folder_of("${header}" header_folder)
    if(header_folder STREQUAL "")
      list(APPEND offences "${where} (${folder} may not include ${first_name}/, which has no include rules)")
    elseif(NOT header_folder IN_LIST allowed)
      list(APPEND offences "${where} (${folder} may not include ${header_folder})")
    endif()
  endwhile()
endforeach()

list(LENGTH files checked)
list(LENGTH offences offence_count)
if(offence_count GREATER 0)
  list(JOIN offences "\n  " report)
  message(FATAL_ERROR
    "Include rules: ${offence_count} offence(s) in the ${checked} source files checked:\n"
    "  ${report}\n"
    "The table of what each folder may include: cmake/include_rules.cmake")
endif()
message(STATUS "Include rules: ${checked} source files checked, every include allowed")
