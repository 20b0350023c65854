# Assembles one generated embedding file for a PE/COFF target and reads its
# symbol table back, so that a Windows build finds the symbols the C++ side
# declares. Run with cmake -P and:
#   CLANG, NM        the compiler driver and the symbol lister
#   TARGET           the target triple to assemble for
#   PREFIX           the C symbol prefix of that target ("_" or empty)
#   KIND             font: ASSEMBLY embeds the glyph table FONT_TABLE
#                    resources: ASSEMBLY embeds what the table TABLE lists
#   WORK_DIR         where the object file goes
foreach(var IN ITEMS CLANG NM TARGET KIND ASSEMBLY WORK_DIR SOURCE_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "embed_coff_test: ${var} is not set")
  endif()
endforeach()

file(MAKE_DIRECTORY ${WORK_DIR})
set(object ${WORK_DIR}/${KIND}-${TARGET}.o)
file(REMOVE ${object})
execute_process(
  COMMAND ${CLANG} --target=${TARGET} -Werror -I${SOURCE_DIR} -c ${ASSEMBLY} -o ${object}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${ASSEMBLY} does not assemble for ${TARGET}:\n${output}")
endif()

execute_process(
  COMMAND ${NM} --defined-only ${object}
  RESULT_VARIABLE result OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list the symbols of ${object}:\n${errors}")
endif()

# Each line: address, type letter, name.
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  if(line MATCHES "^([0-9A-Fa-f]+) ([A-Za-z]) (.+)$")
    set(address_of_${CMAKE_MATCH_3} ${CMAKE_MATCH_1})
    set(type_of_${CMAKE_MATCH_3} ${CMAKE_MATCH_2})
  endif()
endforeach()

# Sets <out> to the offset of the C symbol <name>, which must be defined,
# exported and in a read-only data section (type R).
function(symbol_offset name out)
  set(spelled "${PREFIX}${name}")
  if(NOT DEFINED address_of_${spelled})
    message(FATAL_ERROR
      "${TARGET}: ${spelled} is not defined in ${object}; its symbols are:\n${listing}")
  endif()
  if(NOT type_of_${spelled} STREQUAL "R")
    message(FATAL_ERROR "${TARGET}: ${spelled} has the type ${type_of_${spelled}}, "
                        "not exported read-only data (R)")
  endif()
  math(EXPR offset "0x${address_of_${spelled}}")
  set(${out} ${offset} PARENT_SCOPE)
endfunction()

if(KIND STREQUAL "font")
  # The C++ side takes the table's size as end - start.
  file(SIZE "${FONT_TABLE}" file_size)
  symbol_offset(karido_font_glyphs start)
  symbol_offset(karido_font_glyphs_end end)
  math(EXPR embedded "${end} - ${start}")
  if(NOT embedded EQUAL file_size)
    message(FATAL_ERROR "${TARGET}: karido_font_glyphs spans ${embedded} bytes up to its end "
                        "symbol, but ${FONT_TABLE} has ${file_size}")
  endif()
elseif(KIND STREQUAL "resources")
  # Every entry of the table names a symbol and the size of its block.
  file(READ ${TABLE} table)
  string(REGEX MATCHALL "(karido_resource_[0-9]+), ([0-9]+)}" entries "${table}")
  list(LENGTH entries count)
  if(count EQUAL 0)
    message(FATAL_ERROR "${TABLE} lists no resource")
  endif()
  set(blocks "")
  foreach(entry IN LISTS entries)
    string(REGEX MATCH "(karido_resource_[0-9]+), ([0-9]+)}" entry "${entry}")
    set(name ${CMAKE_MATCH_1})
    set(size ${CMAKE_MATCH_2})
    symbol_offset(${name} start)
    list(APPEND blocks "${start}:${size}:${name}")
  endforeach()
  # The blocks follow each other 16-byte aligned, so each one must end where
  # the next one's alignment begins: the table's size is what was included.
  list(SORT blocks COMPARE NATURAL)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 1 ${last})
    if(i GREATER last)
      break()  # one block: RANGE 1 0 would count down, and there is no neighbour
    endif()
    math(EXPR previous "${i} - 1")
    list(GET blocks ${previous} before)
    list(GET blocks ${i} after)
    string(REPLACE ":" ";" before "${before}")
    string(REPLACE ":" ";" after "${after}")
    list(GET before 0 start)
    list(GET before 1 size)
    list(GET before 2 name)
    list(GET after 0 next)
    math(EXPR expected "(${start} + ${size} + 15) & ~15")
    if(NOT next EQUAL expected)
      message(FATAL_ERROR "${TARGET}: the block after ${name} starts at ${next}, "
                          "but ${name} (${size} bytes at ${start}) ends at ${expected}")
    endif()
  endforeach()
else()
  message(FATAL_ERROR "embed_coff_test: unknown KIND '${KIND}'")
endif()
