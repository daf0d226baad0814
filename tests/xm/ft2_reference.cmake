# Our loader and replayer against FastTracker 2's recorded traces of generated songs, whole
# (ft2_traces) and cut short (cut_traces).
if(NOT TARGET xm_load OR NOT TARGET xm_replay OR NOT TARGET xm_song_generator)
  return()
endif()
add_executable(xm_ft2_reference_tests ${CMAKE_CURRENT_LIST_DIR}/ft2_reference_test.cpp)
target_link_libraries(xm_ft2_reference_tests PRIVATE xm_load xm_replay xm_song_generator
  show_warnings GTest::gtest_main)
target_compile_definitions(xm_ft2_reference_tests PRIVATE
  FT2_TRACES_DIR="${CMAKE_CURRENT_LIST_DIR}/ft2_traces"
  CUT_TRACES_DIR="${CMAKE_CURRENT_LIST_DIR}/cut_traces")
gtest_discover_tests(xm_ft2_reference_tests DISCOVERY_TIMEOUT 60)
