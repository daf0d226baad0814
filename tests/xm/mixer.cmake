# The mixer against a slow plain mixer, and the player on songs built in the test.
add_executable(xm_mix_tests ${CMAKE_CURRENT_LIST_DIR}/mixer_player_test.cpp)
target_link_libraries(xm_mix_tests PRIVATE xm_mix show_warnings GTest::gtest_main)
gtest_discover_tests(xm_mix_tests DISCOVERY_TIMEOUT 60)
