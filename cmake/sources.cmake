# Source lists by convention, so that adding a file needs no edit here:
#   src/<subsystem>/*.cpp          portable core (no <windows.h>)
#   src/<subsystem>/*_win32.cpp    the Win32 face
#   sim/<part>/*.cpp               the virtual SCSI bus and its services
#   sim/<part>/*_win32.cpp         simulator faces that need Win32
# Program entry points are kept out of the libraries so that tests can link
# every window procedure without a second WinMain.

file(GLOB TD_CORE_SOURCES CONFIGURE_DEPENDS ${TD_ROOT}/src/*/*.cpp)
list(FILTER TD_CORE_SOURCES EXCLUDE REGEX "_win32\\.cpp$")

file(GLOB TD_WIN32_SOURCES CONFIGURE_DEPENDS ${TD_ROOT}/src/*/*_win32.cpp)
set(TD_ENTRY_PATTERN "(winmain|system_device_io|minimal_runtime)_win32\\.cpp$")
list(FILTER TD_WIN32_SOURCES EXCLUDE REGEX "${TD_ENTRY_PATTERN}")

file(GLOB TD_SIM_SOURCES CONFIGURE_DEPENDS ${TD_ROOT}/sim/*/*.cpp)
list(FILTER TD_SIM_SOURCES EXCLUDE REGEX "_win32\\.cpp$")

file(GLOB TD_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${TD_ROOT}/tests/support/*.cpp)
