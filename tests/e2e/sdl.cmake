# End-to-end tests of the SDL backend (included by CMakeLists.txt): the real
# program in a virtual X server, its window, its picture, closing it. Needs
# Xvfb, xdotool, x11-utils, ImageMagick and python3.
add_test(NAME window_e2e
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window_e2e.sh $<TARGET_FILE:karido>)
set_tests_properties(window_e2e PROPERTIES LABELS e2e TIMEOUT 600)

# Without a display the program says so in one line and exits with status 1.
add_test(NAME karido_without_display
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/no_display.sh $<TARGET_FILE:karido>)
set_tests_properties(karido_without_display PROPERTIES LABELS e2e TIMEOUT 600)

# When its X server goes away the program ends with status 1 and one line on
# stderr, without an abort.
add_test(NAME karido_lost_display
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/lost_display.sh $<TARGET_FILE:karido>)
set_tests_properties(karido_lost_display PROPERTIES LABELS e2e TIMEOUT 600)

# With an audio driver that does not exist the program runs all the same: it
# draws, takes input and ends with status 0 when its window is closed.
add_test(NAME karido_without_audio
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window_e2e.sh $<TARGET_FILE:karido> --without-audio)
set_tests_properties(karido_without_audio PROPERTIES LABELS e2e TIMEOUT 600)

# Where GL cannot be had (indirect GLX, no driver to load), the
# program draws with the software renderer and ends with status 0.
add_test(NAME karido_without_gl
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/gl_fallback_e2e.sh $<TARGET_FILE:karido>)
set_tests_properties(karido_without_gl PROPERTIES LABELS e2e TIMEOUT 600)

# The program opens the display's and the sound's system libraries.
set_tests_properties(window_e2e karido_without_display karido_lost_display karido_without_audio
  karido_without_gl PROPERTIES ENVIRONMENT "${KARIDO_SYSTEM_LIBRARIES_ENVIRONMENT}")

# The program takes no command line: given options, file names or odd bytes
# as arguments, it opens and draws its window just the same and ends with
# status 0.
add_test(NAME karido_ignores_arguments
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/arguments_e2e.sh $<TARGET_FILE:karido>)
set_tests_properties(karido_ignores_arguments PROPERTIES LABELS e2e TIMEOUT 600
  ENVIRONMENT "${KARIDO_SYSTEM_LIBRARIES_ENVIRONMENT}")

# A minute of random keys and clicks at full rate: the program stays up, its
# resident memory holds steady, and closing its window ends it with status 0.
add_test(NAME window_soak
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window_soak.sh $<TARGET_FILE:karido>)
set_tests_properties(window_soak PROPERTIES LABELS e2e TIMEOUT 600
  ENVIRONMENT "${KARIDO_SYSTEM_LIBRARIES_ENVIRONMENT}")
