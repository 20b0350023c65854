# The 12-pixel Japanese bitmap font, linked into the executable, and CP932
# text drawing. The font is Shinonome (public domain): the half-width
# JIS X 0201 face, in which 0x5C is the yen sign and 0x7E the overline, and
# the full-width JIS X 0208 face. The program carries it as a compact glyph
# table, platform/font_glyphs.bin (format in font_table.h), which is committed:
# karido_text builds the font from it at start-up without FreeType, and
# configures and builds from it alone where FreeType is absent (the Windows
# and browser builds). Where FreeType is (the Linux build), karido_font_files reads the
# font files themselves; the table's writer, tools/font_table, and the test
# that regenerates the table and compares it with the committed one use it.
#
# To regenerate the table after the font files change:
#   karido-font-table <shnm6x12r.pcf.gz> <shnmk12.pcf.gz> platform/font_glyphs.bin
set(KARIDO_FONT_TABLE ${CMAKE_CURRENT_SOURCE_DIR}/font_glyphs.bin)

# The assembly file is preprocessed: it picks the section directives and the
# C symbol prefix of the target, so ELF and PE/COFF toolchains both take it.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/font_data.S.in
  ${CMAKE_CURRENT_BINARY_DIR}/generated/font_data.S @ONLY)
# GCC preprocesses assembly by C90 rules, under which -Wpedantic flags the
# empty symbol prefix of ELF targets handed to the joining macro.
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/generated/font_data.S PROPERTIES
  OBJECT_DEPENDS ${KARIDO_FONT_TABLE}
  COMPILE_OPTIONS -Wno-pedantic)

add_library(karido_text STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/font.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/font_table.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/text.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/generated/font_data.S)
target_link_libraries(karido_text
  PUBLIC karido_includes karido_cpu
  PRIVATE karido_warnings)

# Where the generated assembly and the table it embeds lie, for the test that
# assembles it for other object formats and for the tests of the table.
set_target_properties(karido_text PROPERTIES
  KARIDO_EMBED_ASSEMBLY ${CMAKE_CURRENT_BINARY_DIR}/generated/font_data.S
  KARIDO_FONT_TABLE ${KARIDO_FONT_TABLE})

# The font files and FreeType, for karido_font_files, in the build that runs
# on this machine (cross builds have no FreeType of their target).
if(NOT CMAKE_CROSSCOMPILING)
  find_package(Freetype REQUIRED)

  set(karido_font_folders "")
  foreach(prefix IN LISTS CMAKE_PREFIX_PATH CMAKE_SYSTEM_PREFIX_PATH)
    list(APPEND karido_font_folders
      ${prefix}/share/fonts/X11/misc ${prefix}/share/fonts/misc ${prefix}/lib/X11/fonts/misc)
  endforeach()

  find_file(KARIDO_FONT_HALF_WIDTH shnm6x12r.pcf.gz PATHS ${karido_font_folders}
    DOC "Shinonome 6x12 gothic (JIS X 0201), gzip-compressed PCF")
  find_file(KARIDO_FONT_FULL_WIDTH shnmk12.pcf.gz PATHS ${karido_font_folders}
    DOC "Shinonome 12x12 gothic (JIS X 0208), gzip-compressed PCF")
  foreach(font IN ITEMS KARIDO_FONT_HALF_WIDTH KARIDO_FONT_FULL_WIDTH)
    if(NOT ${font})
      message(FATAL_ERROR
        "${font}: the Shinonome 12-pixel font files (shnm6x12r.pcf.gz, shnmk12.pcf.gz) "
        "were not found; install the Debian package xfonts-shinonome, or set ${font} "
        "to the file")
    endif()
  endforeach()

  # Reading the font files with FreeType (font_files.h): linked by the table's
  # writer and the tests, never by the program.
  add_library(karido_font_files STATIC ${CMAKE_CURRENT_SOURCE_DIR}/font_files.cpp)
  target_link_libraries(karido_font_files
    PUBLIC karido_includes karido_text
    PRIVATE karido_warnings Freetype::Freetype)
endif()
