# The 12-pixel Japanese bitmap font, linked into the executable, and CP932
# text drawing. The font files come from Shinonome (public domain): the
# half-width JIS X 0201 face, in which 0x5C is the yen sign and 0x7E the
# overline, and the full-width JIS X 0208 face. They are read with FreeType
# when the font is created, so nothing at run time depends on installed fonts.
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

# The assembly file is preprocessed: it picks the section directives and the
# C symbol prefix of the target, so ELF and PE/COFF toolchains both take it.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/font_data.S.in
  ${CMAKE_CURRENT_BINARY_DIR}/generated/font_data.S @ONLY)
# GCC preprocesses assembly by C90 rules, under which -Wpedantic flags the
# empty symbol prefix of ELF targets handed to the joining macro.
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/generated/font_data.S PROPERTIES
  OBJECT_DEPENDS "${KARIDO_FONT_HALF_WIDTH};${KARIDO_FONT_FULL_WIDTH}"
  COMPILE_OPTIONS -Wno-pedantic)

add_library(karido_text STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/font.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/text.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/generated/font_data.S)
target_link_libraries(karido_text
  PUBLIC karido_includes
  PRIVATE karido_warnings Freetype::Freetype)

# Where the generated assembly lies, for the test that assembles it for other
# object formats.
set_target_properties(karido_text PROPERTIES
  KARIDO_EMBED_ASSEMBLY ${CMAKE_CURRENT_BINARY_DIR}/generated/font_data.S)
