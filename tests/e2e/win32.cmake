# End-to-end tests of the Win32 backend (included by CMakeLists.txt), under
# Wine in a virtual X server.
# The Windows program under Wine: the same checks, in a Wine prefix made
# fresh for the run, up to closing its window.
add_test(NAME window_e2e_wine
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window_e2e.sh $<TARGET_FILE:karido> --wine)
set_tests_properties(window_e2e_wine PROPERTIES LABELS e2e TIMEOUT 900)

# On a 256-colour display with a palette (8-bit PseudoColor, Wine's
# private colormap) the side panel is the same as on a true-colour one.
add_test(NAME karido_exe_palette_display
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/palette_display_e2e.sh $<TARGET_FILE:karido>)
set_tests_properties(karido_exe_palette_display PROPERTIES LABELS e2e TIMEOUT 900)

# A start-up that fails says why in one line: on stderr where the program
# has one, in a message box where it has none (started from the desktop).
add_executable(launch_without_stderr launch_without_stderr.cpp)
target_link_libraries(launch_without_stderr PRIVATE karido_warnings)
add_test(NAME karido_exe_failure_report
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/failure_report_e2e.sh $<TARGET_FILE:karido>
          $<TARGET_FILE:launch_without_stderr> ${PROJECT_SOURCE_DIR}/resources/bitmaps/101_sprites.bmp)
set_tests_properties(karido_exe_failure_report PROPERTIES LABELS e2e TIMEOUT 900)

# karido.exe needs nothing installed beside it.
add_test(NAME karido_exe_is_self_contained
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/exe_imports.sh $<TARGET_FILE:karido> ${CMAKE_OBJDUMP})

# Its wide-vector kernels never spill to the stack with an aligned move,
# which the system's 16-byte stack alignment would make fault.
add_test(NAME karido_exe_has_no_aligned_vector_spills
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/exe_vector_spills.sh $<TARGET_FILE:karido>
          ${CMAKE_OBJDUMP})
