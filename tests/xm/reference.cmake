# Our player's render of the show's module beside openmpt123's (run as a black box).
if(NOT TARGET xm_mix OR NOT TARGET xm_load)
  return()
endif()
add_executable(xm_reference_tests
  ${CMAKE_CURRENT_LIST_DIR}/reference_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/assets/generated_files.cpp
  ${PROJECT_SOURCE_DIR}/tests/assets/reference_render.cpp
)
target_link_libraries(xm_reference_tests PRIVATE xm_player show_warnings GTest::gtest_main)
add_dependencies(xm_reference_tests generate-assets)
target_compile_definitions(xm_reference_tests PRIVATE
  GENERATE_ASSETS_EXECUTABLE="$<TARGET_FILE:generate-assets>")
gtest_discover_tests(xm_reference_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
