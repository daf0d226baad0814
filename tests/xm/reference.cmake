# Our player against libxmp (linked here only, as a black box) and openmpt123 on the same songs.
find_library(XMP_LIBRARY xmp)
find_path(XMP_INCLUDE_DIR xmp.h)
if(NOT XMP_LIBRARY OR NOT XMP_INCLUDE_DIR OR NOT TARGET xm_mix OR NOT TARGET xm_load)
  message(STATUS "libxmp or the player not found: the reference comparisons are not built")
  return()
endif()
add_executable(xm_reference_tests
  ${CMAKE_CURRENT_LIST_DIR}/tick_traces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reference_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/assets/generated_files.cpp
  ${PROJECT_SOURCE_DIR}/tests/assets/reference_render.cpp
)
target_include_directories(xm_reference_tests PRIVATE ${XMP_INCLUDE_DIR})
target_link_libraries(xm_reference_tests PRIVATE xm_player xm_writer ${XMP_LIBRARY} show_warnings
  GTest::gtest_main)
add_dependencies(xm_reference_tests generate-assets)
target_compile_definitions(xm_reference_tests PRIVATE
  GENERATE_ASSETS_EXECUTABLE="$<TARGET_FILE:generate-assets>")
gtest_discover_tests(xm_reference_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
