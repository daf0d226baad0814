# Cross build for 32-bit Windows with MinGW-w64: the show's native home, an x86 with MMX.
set(SHOW_MINGW_TRIPLE i686-w64-mingw32)
set(SHOW_MINGW_PACKAGE_ARCH i686)
set(SHOW_MINGW_ARCH_FLAGS "-march=pentium-mmx")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
