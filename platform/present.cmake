# Conversion of the shown region to 32-bit colour, the frame mailbox between
# the render and user-interface threads, and the present step that joins
# them. Nothing here includes SDL headers.
add_library(karido_present STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/frame_convert.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/mailbox.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/present.cpp)
target_link_libraries(karido_present
  PUBLIC karido_includes
  PRIVATE karido_warnings)

