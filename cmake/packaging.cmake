# Installing KARIDO, and packaging it for Debian.
#
# `cmake --install` lays the program out as a Linux desktop expects (GNU
# install directories; the executable under games/, as Debian's policy for
# games asks):
#   games/karido                               the program
#   share/applications/karido.desktop          its menu entry
#   share/metainfo/<id>.metainfo.xml           what software centres show
#   share/icons/hicolor/NxN/apps/karido.png    its icon, 16 to 256 pixels
#   share/man/man6/karido.6.gz                 `man karido`
#   share/doc/karido/                          README.md, LICENSE, copyright, changelog.gz
# `cpack` in the build folder turns the same files into karido_<version>_<arch>.deb.
# Configure with -DCMAKE_INSTALL_PREFIX=/usr for a Debian package: the menu
# entry names the executable by its full installed path.
include(GNUInstallDirs)

set(KARIDO_INSTALL_GAMESDIR "games" CACHE STRING
  "Folder of the executable, relative to the install prefix")
# The project's identity on desktops and in software centres, and its home
# page (the screenshots of the AppStream data are found below it).
set(KARIDO_APP_ID "org.example.karido" CACHE STRING "AppStream component id")
set(KARIDO_HOMEPAGE "https://karido.example.org/" CACHE STRING
  "Home page, ending in a slash")
set(KARIDO_PACKAGE_MAINTAINER "the KARIDO developers <karido@example.org>" CACHE STRING
  "Maintainer field of the Debian package")

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(generated ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${generated})

cmake_path(ABSOLUTE_PATH KARIDO_INSTALL_GAMESDIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
           OUTPUT_VARIABLE games_folder)
set(KARIDO_EXECUTABLE ${games_folder}/karido)
configure_file(${packaging}/karido.desktop.in ${generated}/karido.desktop @ONLY)
configure_file(${packaging}/karido.metainfo.xml.in ${generated}/${KARIDO_APP_ID}.metainfo.xml
               @ONLY)
configure_file(${packaging}/karido.6.in ${generated}/karido.6 @ONLY)

# The package's changelog must describe the version being built.
file(STRINGS ${packaging}/changelog newest LIMIT_COUNT 1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${packaging}/changelog)
if(NOT newest MATCHES "^karido \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the newest entry is not for version "
                      "${PROJECT_VERSION}: '${newest}'")
endif()

# Manual pages and changelogs are installed compressed; -n leaves the name and
# time out of the gzip header, so the same sources give the same bytes.
foreach(pair IN ITEMS "${generated}/karido.6;karido.6.gz" "${packaging}/changelog;changelog.gz")
  list(GET pair 0 source)
  list(GET pair 1 target)
  execute_process(COMMAND gzip -9 -n -c INPUT_FILE ${source} OUTPUT_FILE ${generated}/${target}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot compress ${source} with gzip")
  endif()
endforeach()

install(TARGETS karido RUNTIME DESTINATION ${KARIDO_INSTALL_GAMESDIR})
install(FILES ${generated}/karido.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${generated}/${KARIDO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The icons are drawn by the asset generator as an icon theme tree:
# `karido-assets <scratch-folder> --icons packaging/icons` writes them anew.
install(DIRECTORY ${packaging}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${generated}/karido.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
              ${packaging}/copyright ${generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME karido)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the KARIDO developers")
set(CPACK_PACKAGE_CONTACT ${KARIDO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KARIDO_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "ship over a star field, drawn by an 8-bit palette sprite renderer")
# The extended description; CPack indents it under the summary.
set(CPACK_PACKAGE_DESCRIPTION [=[
KARIDO is a small demonstration of an 8-bit, palette-based sprite renderer
with the user interface of a game: one fixed 384x256 window in which two
star layers scroll, a ship moves with the arrow keys and fires shots,
numbers pop up where you click, a typewriter window types out messages and
an item list shows sixteen items with icons. Menu actions play short
sounds. All text is Japanese, in a 12-pixel bitmap font; every image and
sound is built into the program.]=])
# Depends is computed from the libraries the executable links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
