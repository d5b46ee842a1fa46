# The Windows builds: the program, its simulators and the tests that run
# under Wine. What a build makes is chosen by TD_PROGRAMS:
#   all      the shipped program, the NT-sim build, the ASPI library
#            simulator, the automation and the tests (the 64-bit build);
#   shipped  the shipped program only (the 32-bit build for Windows 95 and
#            NT 4.0: see cmake/mingw-i686.cmake);
#   rig      everything but the shipped program, for the 32-bit tests
#            (posix threads), written beside the shipped program.

enable_language(RC)
set(TD_WIN64 OFF)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TD_WIN64 ON)
endif()

set(TD_PROGRAMS all CACHE STRING "What the Windows build makes: all, shipped or rig")
set_property(CACHE TD_PROGRAMS PROPERTY STRINGS all shipped rig)

# Everything is linked statically so the programs need no MinGW runtime DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)
add_compile_definitions(WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0300 NOMINMAX)

if(TD_PROGRAMS STREQUAL "shipped")
  # No exceptions, no run-time type information, no thread-safe guards
  # around function-local statics (the program makes every one of them on
  # its window thread): the program then needs nothing of libstdc++.
  # tessaline_core exists already, so directory-wide options miss it.
  set(TD_SHIPPED_CXX_FLAGS -fno-exceptions -fno-rtti -fno-threadsafe-statics)
  add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:${TD_SHIPPED_CXX_FLAGS}>")
  target_compile_options(tessaline_core PRIVATE ${TD_SHIPPED_CXX_FLAGS})
  # The C library functions the program calls are its own runtime's, not
  # imports from a C runtime DLL as MinGW-w64's headers declare some of them
  # (tolower): the calls go straight to the runtime's functions.
  add_compile_definitions(_CRTIMP=)
  target_compile_definitions(tessaline_core PRIVATE _CRTIMP=)
endif()

set(TD_HOST_TOOLS "" CACHE PATH "Folder of the host build's tools (td-pixmap, td-ascnames)")
foreach(tool td-pixmap td-ascnames)
  if(NOT EXISTS "${TD_HOST_TOOLS}/${tool}")
    message(FATAL_ERROR "TD_HOST_TOOLS must name the host build's tools folder (${tool} not found)")
  endif()
endforeach()
set(TD_ASCNAMES_TOOL ${TD_HOST_TOOLS}/td-ascnames)

# ---- Pictures: text pixel maps turned into .bmp and .ico ----------------
file(GLOB TD_PICTURE_SOURCES CONFIGURE_DEPENDS ${TD_ROOT}/src/resources/pictures/*.txt)
set(TD_PICTURE_DIR ${CMAKE_BINARY_DIR}/pictures)
file(MAKE_DIRECTORY ${TD_PICTURE_DIR})
set(TD_PICTURES "")
foreach(source ${TD_PICTURE_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  if(name MATCHES "^icon-")
    set(output ${TD_PICTURE_DIR}/${name}.ico)
  else()
    set(output ${TD_PICTURE_DIR}/${name}.bmp)
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${TD_HOST_TOOLS}/td-pixmap ${source} ${output}
    DEPENDS ${source} ${TD_HOST_TOOLS}/td-pixmap
    COMMENT "Drawing ${name}")
  list(APPEND TD_PICTURES ${output})
endforeach()
add_custom_target(td_pictures DEPENDS ${TD_PICTURES})

# ---- Resources -------------------------------------------------------------
file(GLOB_RECURSE TD_RC_PARTS CONFIGURE_DEPENDS ${TD_ROOT}/src/resources/*.rc ${TD_ROOT}/src/resources/*.h
     ${TD_ROOT}/src/resources/*.manifest)
set(TD_RC ${TD_ROOT}/src/resources/app.rc)
set_source_files_properties(${TD_RC} PROPERTIES OBJECT_DEPENDS "${TD_PICTURES};${TD_RC_PARTS}")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${TD_ROOT}/src/resources -I${TD_PICTURE_DIR} -c 65001")
add_library(tessaline_resources OBJECT ${TD_RC})
add_dependencies(tessaline_resources td_pictures)

# ---- The Win32 face --------------------------------------------------------
set(TD_WIN32_LIBS comctl32 comdlg32 version gdi32 user32 advapi32 kernel32)
add_library(tessaline_win32 STATIC ${TD_WIN32_SOURCES})
target_link_libraries(tessaline_win32 PUBLIC tessaline_core ${TD_WIN32_LIBS})

target_link_libraries(tessaline_sim PUBLIC kernel32)

function(td_program target output_name device_io_source)
  add_executable(${target} WIN32
    ${TD_ROOT}/src/shell/winmain_win32.cpp
    ${device_io_source}
    $<TARGET_OBJECTS:tessaline_resources>)
  target_link_libraries(${target} PRIVATE tessaline_win32 ${ARGN})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME "${output_name}")
endfunction()

if(NOT TD_PROGRAMS STREQUAL "rig")
  # The shipped program reaches NT's SCSI port driver through kernel32.
  td_program(tessaline "Tessaline Diagnostics" ${TD_ROOT}/src/shell/system_device_io_win32.cpp)
  # What ships carries no debugging information.
  target_link_options(tessaline PRIVATE -s)
  if(TD_PROGRAMS STREQUAL "shipped")
    # Its own start-up and runtime pieces, no libstdc++, no C runtime
    # start-up files and no C library (minimal_runtime_win32.cpp says why):
    # of the compiler's own libraries only libmingw32 (which runs the static
    # constructors) and libgcc (64-bit division, the stack probe), so a call
    # of a C function the runtime does not give fails the link. Data is
    # never imported from a DLL without being declared so, so no start-up
    # code has to patch references at run time.
    target_sources(tessaline PRIVATE ${TD_ROOT}/src/shell/minimal_runtime_win32.cpp)
    set_target_properties(tessaline PROPERTIES LINKER_LANGUAGE C)
    set(CMAKE_CXX_IMPLICIT_LINK_LIBRARIES "")
    target_link_options(tessaline PRIVATE -nostartfiles -nodefaultlibs -Wl,--disable-auto-import
                        -Wl,--disable-runtime-pseudo-reloc)
    set(CMAKE_C_STANDARD_LIBRARIES "-lmingw32 -lgcc")
    # The loops in c_library.cpp are this program's memcpy, memset and
    # strlen: the compiler must not turn them back into calls of those very
    # functions.
    set_source_files_properties(${TD_ROOT}/src/shell/c_library.cpp PROPERTIES COMPILE_OPTIONS
                                -fno-tree-loop-distribute-patterns)
  endif()
  include(${TD_ROOT}/setup/setup.cmake)
endif()

if(TD_PROGRAMS STREQUAL "shipped")
  # The virtual bus needs the standard library's threads, which this
  # thread model lacks: the shipped program does not link it.
  set_target_properties(tessaline_sim PROPERTIES EXCLUDE_FROM_ALL TRUE)
  return()
endif()

# Wine has no SCSI port devices: this build serves the virtual bus instead.
if(EXISTS ${TD_ROOT}/sim/nt/ntsim_device_io_win32.cpp)
  td_program(tessaline_ntsim "Tessaline Diagnostics NT-sim"
    ${TD_ROOT}/sim/nt/ntsim_device_io_win32.cpp tessaline_sim)
endif()

# The ASPI for Win32 library simulator.
if(EXISTS ${TD_ROOT}/sim/aspi_dll/wnaspi32_win32.cpp)
  add_library(wnaspi32 SHARED ${TD_ROOT}/sim/aspi_dll/wnaspi32_win32.cpp ${TD_ROOT}/sim/aspi_dll/wnaspi32.def)
  target_link_libraries(wnaspi32 PRIVATE tessaline_sim)
  set_target_properties(wnaspi32 PROPERTIES PREFIX "" OUTPUT_NAME "wnaspi32")
endif()

# ---- Automation: the hands of the run script and the end-to-end tests -------
add_library(td_winauto STATIC ${TD_ROOT}/tools/winauto/automation.cpp ${TD_ROOT}/tools/winauto/time_scale.cpp)
target_include_directories(td_winauto PUBLIC ${TD_ROOT}/tools/winauto)
target_link_libraries(td_winauto PUBLIC comctl32 gdi32 user32)
add_executable(td-auto ${TD_ROOT}/tools/winauto/td_auto_main.cpp)
target_link_libraries(td-auto PRIVATE td_winauto)

# ---- The whole-dialog check: every window of every language, at a dpi -------
add_executable(td-layout-check
  ${TD_ROOT}/tools/layoutcheck/td_layout_check.cpp
  ${TD_ROOT}/tools/layoutcheck/layout_dialogs_win32.cpp
  ${TD_ROOT}/tools/layoutcheck/layout_frame_win32.cpp
  ${TD_ROOT}/tools/layoutcheck/layout_rules.cpp
  $<TARGET_OBJECTS:tessaline_resources>)
target_link_libraries(td-layout-check PRIVATE tessaline_core comctl32 gdi32 user32)
# The dialogs are built as the Windows-side tests build them.
target_include_directories(td-layout-check PRIVATE ${TD_ROOT}/tests)

# ---- Tests (run under Wine, 64-bit and 32-bit) ------------------------------
set(CMAKE_CROSSCOMPILING_EMULATOR ${TD_ROOT}/scripts/wine-exec)
if(NOT TD_NO_TESTS)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  add_library(tessaline_test_support STATIC ${TD_TEST_SUPPORT_SOURCES} ${TD_ROOT}/tests/support/empty.cpp)
  target_include_directories(tessaline_test_support PUBLIC ${TD_ROOT}/tests)
  target_link_libraries(tessaline_test_support PUBLIC tessaline_sim gtest)
  target_compile_definitions(tessaline_test_support PUBLIC TD_SOURCE_DIR="${TD_ROOT}")

  file(GLOB TD_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${TD_ROOT}/tests/win/*.cpp)
  add_executable(win_tests ${TD_WIN_TEST_SOURCES} $<TARGET_OBJECTS:tessaline_resources>)
  target_link_libraries(win_tests PRIVATE tessaline_win32 tessaline_test_support gtest_main)
  add_test(NAME win_tests COMMAND win_tests --gtest_brief=1)
  # Every window whole at 96 dpi with the main window on a 640 x 480 screen,
  # and at 120 dpi (the large fonts) on 800 x 600, in a copy of the prefix
  # set to 120 dpi; message boxes on the next larger screen.
  add_test(NAME layout_96dpi COMMAND ${TD_ROOT}/scripts/wine-exec $<TARGET_FILE:td-layout-check> --dpi 96 --screen
                                     640x480 --box-screen 800x600)
  add_test(NAME layout_120dpi COMMAND ${TD_ROOT}/scripts/wine-dpi-exec 120 $<TARGET_FILE:td-layout-check> --dpi 120
                                      --screen 800x600 --box-screen 1024x768)

  include(${TD_ROOT}/tests/e2e/e2e.cmake)
  include(${TD_ROOT}/tests/soak/soak.cmake OPTIONAL)
  include(${TD_ROOT}/bench/wine/bench.cmake OPTIONAL)
endif()

