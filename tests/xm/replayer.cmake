# The replayer's hand-worked tick traces of what FastTracker 2's traces (ft2_reference) cannot
# show: song flow and length in detail, triggers and start frames.
if(NOT TARGET xm_replay)
  return()
endif()
file(GLOB xm_replay_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/replayer_*_test.cpp)
add_executable(xm_replay_tests ${xm_replay_test_sources})
target_link_libraries(xm_replay_tests PRIVATE xm_replay show_warnings GTest::gtest_main)
gtest_discover_tests(xm_replay_tests DISCOVERY_TIMEOUT 60)
