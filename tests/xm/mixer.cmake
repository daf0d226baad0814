# The mixer against a slow plain mixer, and the player on songs built in the tests.
file(GLOB xm_mix_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/mixer_*_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/player_*_test.cpp)
add_executable(xm_mix_tests ${xm_mix_test_sources})
target_link_libraries(xm_mix_tests PRIVATE xm_mix show_warnings GTest::gtest_main)
gtest_discover_tests(xm_mix_tests DISCOVERY_TIMEOUT 60)
