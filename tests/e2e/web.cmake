# End-to-end test of the browser backend (included by CMakeLists.txt): the
# page served on 127.0.0.1 as scripts/serve-web.sh serves it, in Debian's
# Chromium driven by playwright-core. Its screenshot is left in the build
# folder (the README's picture of the page is one).
add_test(NAME karido_page
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/web/page_e2e.sh $<TARGET_FILE_DIR:karido>
          ${CMAKE_CURRENT_BINARY_DIR}/page.png)
set_tests_properties(karido_page PROPERTIES LABELS e2e TIMEOUT 600)
