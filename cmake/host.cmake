# The host build: unit tests of the portable core and the virtual bus, the
# build tools the Windows builds need, fuzz targets and benchmarks.

option(TD_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TD_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

# The tool that makes the core's table of sense code names (every build
# needs it, the Windows builds from here): made before the instrumentation
# options below, which are for the code under test, not for build tools.
add_executable(td-ascnames ${TD_ROOT}/tools/ascnames/td_ascnames.cpp)
set_target_properties(td-ascnames PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
set(TD_ASCNAMES_TOOL td-ascnames)

# tessaline_core and tessaline_sim are created before this file is read, so
# directory-wide options do not reach them: they get the flags by name.
if(TD_SANITIZE OR TD_FUZZ)
  set(TD_INSTRUMENT_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  if(TD_FUZZ)
    list(APPEND TD_INSTRUMENT_FLAGS -fsanitize=fuzzer-no-link)
  endif()
  add_compile_options(${TD_INSTRUMENT_FLAGS})
  add_link_options(-fsanitize=address,undefined)
  target_compile_options(tessaline_core PRIVATE ${TD_INSTRUMENT_FLAGS})
  target_compile_options(tessaline_sim PRIVATE ${TD_INSTRUMENT_FLAGS})
endif()

# The fuzz build makes the fuzz targets only; everything else is the plain
# and sanitizer builds' work.
set(TD_ONLY_ON_REQUEST "")
if(TD_FUZZ)
  set(TD_ONLY_ON_REQUEST EXCLUDE_FROM_ALL)
endif()

find_package(Threads REQUIRED)
target_link_libraries(tessaline_sim PUBLIC Threads::Threads)

# Build tools (run by the Windows builds).
add_executable(td-pixmap ${TD_ONLY_ON_REQUEST} ${TD_ROOT}/tools/pixmap/td_pixmap.cpp)
set_target_properties(td-pixmap PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# Unit tests.
find_package(GTest REQUIRED)
file(GLOB TD_HOST_TEST_SOURCES CONFIGURE_DEPENDS ${TD_ROOT}/tests/host/*.cpp)
add_library(tessaline_test_support STATIC ${TD_ONLY_ON_REQUEST} ${TD_TEST_SUPPORT_SOURCES} ${TD_ROOT}/tests/support/empty.cpp)
target_include_directories(tessaline_test_support PUBLIC ${TD_ROOT}/tests)
target_link_libraries(tessaline_test_support PUBLIC tessaline_sim GTest::gtest)
target_compile_definitions(tessaline_test_support PUBLIC TD_SOURCE_DIR="${TD_ROOT}")

add_executable(host_tests ${TD_ONLY_ON_REQUEST} ${TD_HOST_TEST_SOURCES} ${TD_ROOT}/tools/layoutcheck/layout_rules.cpp)
target_include_directories(host_tests PRIVATE ${TD_ROOT}/tools/layoutcheck)
target_link_libraries(host_tests PRIVATE tessaline_test_support GTest::gtest_main)
add_test(NAME host_tests COMMAND host_tests --gtest_brief=1)

# Fuzz targets: one executable per fuzz/*.cpp.
if(TD_FUZZ)
  file(GLOB TD_FUZZ_SOURCES CONFIGURE_DEPENDS ${TD_ROOT}/fuzz/*.cpp)
  foreach(source ${TD_FUZZ_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    # The program's own texts, read from its string tables as the tests do,
    # and the in-memory registry the registry readers are fed through.
    add_executable(${name} ${source} ${TD_ROOT}/tests/support/scripted_messages.cpp
                   ${TD_ROOT}/tests/support/rc_strings.cpp ${TD_ROOT}/tests/support/memory_registry.cpp)
    target_include_directories(${name} PRIVATE ${TD_ROOT}/tests)
    target_compile_definitions(${name} PRIVATE TD_SOURCE_DIR="${TD_ROOT}")
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE tessaline_sim)
  endforeach()
endif()

# Benchmarks: one executable per bench/*.cpp; they print figures, they do
# not pass or fail.
file(GLOB TD_BENCH_SOURCES CONFIGURE_DEPENDS ${TD_ROOT}/bench/*.cpp)
foreach(source ${TD_BENCH_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${TD_ONLY_ON_REQUEST} ${source})
  target_link_libraries(${name} PRIVATE tessaline_test_support)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endforeach()

# The help files in every language and the tools that build them.
include(${TD_ROOT}/help/help.cmake)
