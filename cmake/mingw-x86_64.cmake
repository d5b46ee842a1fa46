# Cross compiling the 64-bit Windows program with MinGW-w64 (posix threads,
# so that the standard library's threads work in the ASPI simulator).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TD_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TD_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TD_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TD_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TD_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
