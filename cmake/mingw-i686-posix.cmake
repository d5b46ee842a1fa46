# Cross compiling the 32-bit simulators, the NT-sim build and the test tools
# with MinGW-w64 (posix threads, so that the standard library's threads work
# in the ASPI simulator). They run only here, under Wine; the shipped 32-bit
# program is built with mingw-i686.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TD_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TD_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TD_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TD_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TD_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
