# Cross compiling the shipped 32-bit program with MinGW-w64 for Windows 95
# and NT 4.0 on a Pentium:
# - the win32 thread model, whose runtime imports nothing those systems lack
#   (the posix model's winpthreads needs Windows XP and later);
# - code for the Pentium (i586): no CMOV, FCMOV or FCOMI, which the compiler
#   would emit for its default, the Pentium Pro.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TD_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TD_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TD_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${TD_MINGW_PREFIX}-windres)
set(CMAKE_C_FLAGS_INIT "-march=i586 -mtune=pentium")
set(CMAKE_CXX_FLAGS_INIT "-march=i586 -mtune=pentium")
set(CMAKE_FIND_ROOT_PATH /usr/${TD_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
