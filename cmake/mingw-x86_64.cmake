# Cross build for 64-bit Windows with MinGW-w64; its programs also run here under wine64.
set(SHOW_MINGW_TRIPLE x86_64-w64-mingw32)
set(SHOW_MINGW_PACKAGE_ARCH x86-64)
set(SHOW_MINGW_ARCH_FLAGS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# ctest runs the test programs with wine64 where it is installed.
find_program(SHOW_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT SHOW_WINE64)
  find_program(SHOW_WINE64 NAMES wine64)
endif()
if(SHOW_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SHOW_WINE64})
endif()
