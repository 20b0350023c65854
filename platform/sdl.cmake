# The SDL2 backend of the window: the only code that includes SDL headers.
find_package(SDL2 REQUIRED)

add_library(karido_platform_sdl STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/sdl_window.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/sdl_keys.cpp)
target_link_libraries(karido_platform_sdl
  PUBLIC karido_includes
  PRIVATE SDL2::SDL2 karido_present karido_warnings)

if(KARIDO_BUILD_TESTS)
  # This folder is configured before the top level turns testing on; without
  # it here the test below would be dropped.
  enable_testing()
  # Keeps SDL out of every folder but this one (and the benchmarks).
  add_test(NAME no_sdl_outside_platform
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/sdl_include_check.cmake)
endif()
