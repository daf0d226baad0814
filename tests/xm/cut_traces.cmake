# The loader on generated songs cut short against FastTracker 2's recorded traces (cut_traces).
if(NOT TARGET xm_load OR NOT TARGET xm_replay OR NOT TARGET xm_song_generator)
  return()
endif()
add_executable(xm_cut_trace_tests ${CMAKE_CURRENT_LIST_DIR}/cut_trace_test.cpp)
target_link_libraries(xm_cut_trace_tests PRIVATE xm_load xm_replay xm_song_generator
  show_warnings GTest::gtest_main)
target_compile_definitions(xm_cut_trace_tests PRIVATE
  CUT_TRACES_DIR="${CMAKE_CURRENT_LIST_DIR}/cut_traces")
gtest_discover_tests(xm_cut_trace_tests)
