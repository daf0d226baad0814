# Cross build for 64-bit Windows with MinGW-w64; its programs also run here under wine64.
set(SHOW_MINGW_TRIPLE x86_64-w64-mingw32)
set(SHOW_MINGW_ARCH_FLAGS "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
