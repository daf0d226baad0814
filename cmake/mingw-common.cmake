# What both MinGW-w64 toolchains share; the including file sets SHOW_MINGW_TRIPLE and
# SHOW_MINGW_ARCH_FLAGS.
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR ${SHOW_MINGW_TRIPLE})

# The posix thread model where Debian offers it: GCC 12's win32 model has no std::mutex, which
# GoogleTest needs. With -static its thread library is linked in, so show.exe stays one file.
find_program(SHOW_MINGW_CXX NAMES ${SHOW_MINGW_TRIPLE}-g++-posix ${SHOW_MINGW_TRIPLE}-g++)
find_program(SHOW_MINGW_CC NAMES ${SHOW_MINGW_TRIPLE}-gcc-posix ${SHOW_MINGW_TRIPLE}-gcc)
if(NOT SHOW_MINGW_CXX)
  message(FATAL_ERROR "No ${SHOW_MINGW_TRIPLE}-g++: "
    "apt-get install g++-mingw-w64-${SHOW_MINGW_PACKAGE_ARCH}")
endif()
set(CMAKE_CXX_COMPILER ${SHOW_MINGW_CXX})
set(CMAKE_C_COMPILER ${SHOW_MINGW_CC})
set(CMAKE_RC_COMPILER ${SHOW_MINGW_TRIPLE}-windres)

set(CMAKE_C_FLAGS_INIT "${SHOW_MINGW_ARCH_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${SHOW_MINGW_ARCH_FLAGS}")

# Headers and libraries from the MinGW sysroot only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${SHOW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
