# The help files, built by the host build in every language:
#
#   build/host/help/<language>/KDX.hlp     the user's manual (Help > Help...)
#   build/host/help/<language>/KDXCH.hlp   the properties pages' context help
#   build/host/help/<language>/KDX.chm     the manual as HTML Help, for systems
#                                          without a WinHelp viewer
#
# For each file: td-helpsrc fills the program's own texts into the Halibut
# source (help/<language>/settings.but, then help/<language>/kdx.but or the
# language-neutral help/kdxch.but), Halibut writes the WinHelp file into
# help/stage/<language>/, and td-hlpfix re-sorts its |CONTEXT, writes its
# |CTXOMAP from help/kdx.map or help/kdxch.map, marks it as ANSI text and
# names the viewer's About and Up buttons in the language of its settings.
# KDX.chm comes from the same staged manual, with help/chm.but's layout.

find_program(TD_HALIBUT halibut REQUIRED)
set(TD_HELP_LANGUAGES en de es fr it)

add_library(td_winhelp STATIC ${TD_ONLY_ON_REQUEST}
            ${TD_ROOT}/tools/winhelp/hlp_container.cpp
            ${TD_ROOT}/tools/winhelp/hlp_context.cpp
            ${TD_ROOT}/tools/winhelp/hlp_keywords.cpp
            ${TD_ROOT}/tools/winhelp/hlp_system.cpp
            ${TD_ROOT}/tools/winhelp/hlp_topics.cpp)
target_include_directories(td_winhelp PUBLIC ${TD_ROOT}/tools/winhelp)

# Both tools read the program's resources the way the tests do.
foreach(tool td-helpsrc td-hlpfix)
  if(tool STREQUAL td-helpsrc)
    set(source ${TD_ROOT}/tools/helpsrc/td_helpsrc.cpp)
  else()
    set(source ${TD_ROOT}/tools/winhelp/td_hlpfix.cpp)
  endif()
  add_executable(${tool} ${TD_ONLY_ON_REQUEST} ${source} ${TD_ROOT}/tests/support/rc_strings.cpp)
  target_include_directories(${tool} PRIVATE ${TD_ROOT}/tests)
  target_compile_definitions(${tool} PRIVATE TD_SOURCE_DIR="${TD_ROOT}")
  target_link_libraries(${tool} PRIVATE td_winhelp)
  set_target_properties(${tool} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
endforeach()

set(TD_HELP_FILES "")
foreach(language ${TD_HELP_LANGUAGES})
  set(stage ${CMAKE_BINARY_DIR}/help/stage/${language})
  set(out ${CMAKE_BINARY_DIR}/help/${language})
  file(GLOB resources CONFIGURE_DEPENDS ${TD_ROOT}/src/resources/lang/${language}/*.rc)
  set(resources ${resources} ${TD_ROOT}/src/resources/resource_ids.h)

  add_custom_command(
    OUTPUT ${stage}/settings.but
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
    COMMAND td-helpsrc ${language} ${TD_ROOT}/help/${language}/settings.but ${stage}/settings.but
    DEPENDS td-helpsrc ${TD_ROOT}/help/${language}/settings.but ${resources}
    COMMENT "Help settings ${language}"
    VERBATIM)

  # name: KDX or KDXCH; template: its Halibut source; map: its topic numbers.
  foreach(name KDX KDXCH)
    if(name STREQUAL KDX)
      set(template ${TD_ROOT}/help/${language}/kdx.but)
      set(map ${TD_ROOT}/help/kdx.map)
    else()
      set(template ${TD_ROOT}/help/kdxch.but)
      set(map ${TD_ROOT}/help/kdxch.map)
    endif()
    add_custom_command(
      OUTPUT ${stage}/${name}.but
      COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
      COMMAND td-helpsrc ${language} ${template} ${stage}/${name}.but
      DEPENDS td-helpsrc ${template} ${resources}
      COMMENT "Help source ${language}/${name}"
      VERBATIM)
    add_custom_command(
      OUTPUT ${stage}/${name}.hlp
      COMMAND ${TD_HALIBUT} --input-charset=UTF-8 --winhelp=${name}.hlp settings.but ${name}.but
      DEPENDS ${stage}/${name}.but ${stage}/settings.but
      WORKING_DIRECTORY ${stage}
      COMMENT "Halibut ${language}/${name}.hlp"
      VERBATIM)
    add_custom_command(
      OUTPUT ${out}/${name}.hlp
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
      COMMAND td-hlpfix ${map} ${stage}/${name}.hlp ${out}/${name}.hlp ${TD_ROOT}/help/${language}/settings.but
      DEPENDS td-hlpfix ${stage}/${name}.hlp ${map} ${TD_ROOT}/help/${language}/settings.but
      COMMENT "Help file ${language}/${name}.hlp"
      VERBATIM)
    list(APPEND TD_HELP_FILES ${out}/${name}.hlp)
  endforeach()

  add_custom_command(
    OUTPUT ${out}/KDX.chm
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${TD_HALIBUT} --input-charset=UTF-8 --chm=${out}/KDX.chm settings.but ${TD_ROOT}/help/chm.but KDX.but
    DEPENDS ${stage}/KDX.but ${stage}/settings.but ${TD_ROOT}/help/chm.but
    WORKING_DIRECTORY ${stage}
    COMMENT "Halibut ${language}/KDX.chm"
    VERBATIM)
  list(APPEND TD_HELP_FILES ${out}/KDX.chm)
endforeach()

if(TD_FUZZ)
  add_custom_target(help_files DEPENDS ${TD_HELP_FILES})
else()
  add_custom_target(help_files ALL DEPENDS ${TD_HELP_FILES})
endif()

# The built help files, checked as the viewer reads them.
add_executable(help_tests ${TD_ONLY_ON_REQUEST} ${TD_ROOT}/tests/help/help_files_test.cpp
               ${TD_ROOT}/tests/support/rc_strings.cpp)
target_include_directories(help_tests PRIVATE ${TD_ROOT}/tests)
string(REPLACE ";" " " languages "${TD_HELP_LANGUAGES}")
target_compile_definitions(help_tests PRIVATE TD_SOURCE_DIR="${TD_ROOT}" TD_HELP_DIR="${CMAKE_BINARY_DIR}/help"
                                              TD_HELP_LANGUAGES="${languages}")
# libmspack (Debian libmspack-dev) unpacks KDX.chm as the viewer does.
find_library(TD_MSPACK mspack REQUIRED)
target_link_libraries(help_tests PRIVATE td_winhelp ${TD_MSPACK} GTest::gtest_main)
add_dependencies(help_tests help_files)
add_test(NAME help_files COMMAND help_tests --gtest_brief=1)
