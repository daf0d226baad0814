# The loader on its own: files from the writer read back, broken ones refused where the fault is,
# cut ones read as far as they go.
if(NOT TARGET xm_load OR NOT TARGET xm_writer)
  return()
endif()
add_executable(xm_load_tests ${CMAKE_CURRENT_LIST_DIR}/load_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/load_module.cpp)
target_link_libraries(xm_load_tests PRIVATE xm_load xm_writer show_warnings GTest::gtest_main)
gtest_discover_tests(xm_load_tests)
