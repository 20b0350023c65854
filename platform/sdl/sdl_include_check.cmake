# Fails when a source file outside platform/ includes an SDL header: only the
# platform layer may depend on SDL (bench/ may too, to compare against it).
# Run as: cmake -DSOURCE_DIR=<tree> -P sdl_include_check.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(include_pattern "^[ \t]*#[ \t]*include[ \t]*[<\"](SDL2/)?SDL[A-Za-z0-9_]*\\.h[>\"]")
set(source_globs *.c *.cc *.cpp *.cxx *.h *.hh *.hpp *.inc *.ipp)

# Top-level folders skipped whole: the SDL layer itself, the benchmarks,
# build folders and version control.
file(GLOB top_entries RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*" "${SOURCE_DIR}/.*")
set(files "")
foreach(entry IN LISTS top_entries)
  if(entry MATCHES "^(platform|bench|build[^/]*|\\.git|\\.|\\.\\.)$")
    continue()
  endif()
  if(IS_DIRECTORY "${SOURCE_DIR}/${entry}")
    set(globs "")
    foreach(glob IN LISTS source_globs)
      list(APPEND globs "${SOURCE_DIR}/${entry}/${glob}")
    endforeach()
    file(GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" ${globs})
    list(APPEND files ${found})
  else()
    foreach(glob IN LISTS source_globs)
      string(REPLACE "*" ".*" glob_regex "^${glob}$")
      string(REPLACE ".*." ".*\\." glob_regex "${glob_regex}")
      if(entry MATCHES "${glob_regex}")
        list(APPEND files "${entry}")
        break()
      endif()
    endforeach()
  endif()
endforeach()

# Build folders nested below a source folder are skipped too.
list(FILTER files EXCLUDE REGEX "(^|/)build[^/]*/")

set(offenders "")
foreach(file IN LISTS files)
  file(STRINGS "${SOURCE_DIR}/${file}" lines REGEX "${include_pattern}")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    list(APPEND offenders "${file}: ${line}")
  endforeach()
endforeach()

list(LENGTH files checked)
if(offenders)
  list(JOIN offenders "\n  " report)
  message(FATAL_ERROR "SDL headers included outside platform/:\n  ${report}")
endif()
message(STATUS "${checked} source files outside platform/ and bench/ include no SDL header")
