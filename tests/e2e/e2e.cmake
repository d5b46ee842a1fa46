# End-to-end tests: the real program under Wine, driven from outside by the
# automation library, with the probe library loaded into the program to read
# what only its own process can read (menus, true window pictures).
# Included by cmake/windows.cmake in the test section, after the
# automation library and the programs are defined.

# ---- The probe: hooked into the program's window thread ---------------------
add_library(td_probe SHARED ${TD_ROOT}/tools/winauto/probe_dll.cpp)
set_target_properties(td_probe PROPERTIES PREFIX "" OUTPUT_NAME "td-probe")
target_link_libraries(td_probe PRIVATE user32 gdi32 kernel32)
# It counts the program's GDI objects as the in-process tests count their own.
target_include_directories(td_probe PRIVATE ${TD_ROOT}/tests)
# The hook procedure is looked up by its plain name; 32-bit stdcall exports
# would otherwise carry an @12 suffix.
target_link_options(td_probe PRIVATE -Wl,--kill-at)

# The automation side of the probe belongs to the automation library.
target_sources(td_winauto PRIVATE ${TD_ROOT}/tools/winauto/probe.cpp)
add_dependencies(td_winauto td_probe)

# ---- The tests ------------------------------------------------------------
# The support (a program session, the user's steps, the machine's registry)
# is a library of its own: the soak drives the program with it too.
file(GLOB TD_E2E_SUPPORT_SOURCES CONFIGURE_DEPENDS ${TD_ROOT}/tests/e2e/support/*.cpp)
add_library(td_e2e_support STATIC ${TD_E2E_SUPPORT_SOURCES})
target_include_directories(td_e2e_support PUBLIC ${TD_ROOT}/tests/e2e ${TD_ROOT}/src)
target_link_libraries(td_e2e_support PUBLIC td_winauto gtest tessaline_core advapi32 shell32 version)
set(TD_E2E_FAILURES e2e-failures)
if(NOT TD_WIN64)
  set(TD_E2E_FAILURES e2e-failures-32)
endif()
get_filename_component(TD_E2E_FAILURE_DIR ${CMAKE_BINARY_DIR}/../${TD_E2E_FAILURES} ABSOLUTE)
# The host build's help files, which the setup program carries.
get_filename_component(TD_HOST_HELP_DIR ${TD_HOST_TOOLS}/../help ABSOLUTE)
target_compile_definitions(td_e2e_support PUBLIC
  TD_SOURCE_DIR="${TD_ROOT}"
  TD_HOST_HELP_DIR="${TD_HOST_HELP_DIR}"
  TD_E2E_FAILURE_DIR="${TD_E2E_FAILURE_DIR}")

file(GLOB TD_E2E_SOURCES CONFIGURE_DEPENDS ${TD_ROOT}/tests/e2e/*.cpp)
# The soak's commands (a diagnostic run, Save As) serve the tests too.
# make real-stack's checks (tools/realstack) drive the program with the same
# support and run only in its guest (e2e_tests.exe --gtest_filter=RealStack.*):
# they are built in, but not listed for ctest below.
set(TD_E2E_REAL_STACK_SOURCES ${TD_ROOT}/tools/realstack/real_stack_checks.cpp)
add_executable(e2e_tests ${TD_E2E_SOURCES} ${TD_ROOT}/tests/soak/soak_steps.cpp ${TD_E2E_REAL_STACK_SOURCES})
target_include_directories(e2e_tests PRIVATE ${TD_ROOT}/tests/soak)
target_link_libraries(e2e_tests PRIVATE td_e2e_support)

# The tests start what the build made: make sure it is made first.
foreach(program tessaline tessaline_ntsim wnaspi32 td_probe)
  if(TARGET ${program})
    add_dependencies(e2e_tests ${program})
  endif()
endforeach()

# One ctest test per test case (found in the sources, not by running the
# program at build time), all run one after another: they share the
# prefix's registry and its one virtual desktop.
include(GoogleTest)
gtest_add_tests(TARGET e2e_tests
  SOURCES ${TD_E2E_SOURCES}
  EXTRA_ARGS --gtest_brief=1
  TEST_PREFIX "e2e."
  TEST_LIST TD_E2E_TESTS)
set_tests_properties(${TD_E2E_TESTS} PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)

# A test whose name begins with a locale ("e2e.Locale.es_MX",
# "e2e.SetupInTheUsersLanguage.fr_CA_...") runs under that Unix locale: Wine
# takes a process's locale from it, and the program a test starts inherits
# the test's. scripts/wine-env.sh compiles the locales into build/locales
# (td_prepare_locales).
get_filename_component(TD_LOCALE_DIR ${CMAKE_BINARY_DIR}/../locales ABSOLUTE)
foreach(test ${TD_E2E_TESTS})
  if(test MATCHES "^e2e\\.[A-Za-z]+\\.([a-z][a-z]_[A-Z][A-Z])(_|$)")
    set(locale "${CMAKE_MATCH_1}.UTF-8")
    set_tests_properties(${test} PROPERTIES ENVIRONMENT "LOCPATH=${TD_LOCALE_DIR};LC_ALL=${locale};LANG=${locale}")
  endif()
endforeach()
