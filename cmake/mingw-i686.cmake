# Cross compiling the 32-bit Windows program with MinGW-w64. This machine
# cannot execute 32-bit code: the build is compiled and linked, not run.
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
