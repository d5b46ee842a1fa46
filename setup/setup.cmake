# The setup program, built beside the shipped program of this word size:
#   build/win64/bin/tessaline-diagnostics-<version>-setup-x64.exe  (64-bit Windows)
#   build/win32/bin/tessaline-diagnostics-<version>-setup-x86.exe  (Windows 95 to 11)
# It carries the shipped program and the help files of every language from
# the host build. Included by cmake/windows.cmake after the program target.

find_program(TD_MAKENSIS makensis REQUIRED)

# The version is the one the program's version resource states.
file(STRINGS ${TD_ROOT}/src/resources/version.rc TD_VERSION_LINE REGEX "VALUE \"ProductVersion\"")
string(REGEX MATCH "[0-9]+\\.[0-9]+" TD_VERSION "${TD_VERSION_LINE}")
if(NOT TD_VERSION)
  message(FATAL_ERROR "no ProductVersion in src/resources/version.rc")
endif()

get_filename_component(TD_HOST_HELP ${TD_HOST_TOOLS}/../help ABSOLUTE)
if(TD_WIN64)
  set(TD_SETUP_ARCH x64)
  set(TD_SETUP_TARGET -DX64)
else()
  set(TD_SETUP_ARCH x86)
  set(TD_SETUP_TARGET)
endif()
set(TD_SETUP_EXE ${TD_OUTPUT_DIR}/tessaline-diagnostics-${TD_VERSION}-setup-${TD_SETUP_ARCH}.exe)

set(TD_SETUP_HELP "")
foreach(language en de es fr it)
  list(APPEND TD_SETUP_HELP ${TD_HOST_HELP}/${language}/KDX.hlp ${TD_HOST_HELP}/${language}/KDXCH.hlp
       ${TD_HOST_HELP}/${language}/KDX.chm)
endforeach()

# The welcome and finish pages' picture, composed from the program's own.
set(TD_WIZARD_PICTURE ${TD_PICTURE_DIR}/setup-wizard)
add_custom_command(
  OUTPUT ${TD_WIZARD_PICTURE}.bmp
  COMMAND ${CMAKE_COMMAND} -DPICTURES=${TD_ROOT}/src/resources/pictures -DOUTPUT=${TD_WIZARD_PICTURE}.txt
          -P ${TD_ROOT}/setup/wizard_picture.cmake
  COMMAND ${TD_HOST_TOOLS}/td-pixmap ${TD_WIZARD_PICTURE}.txt ${TD_WIZARD_PICTURE}.bmp
  DEPENDS ${TD_ROOT}/setup/wizard_picture.cmake ${TD_PICTURE_SOURCES} ${TD_HOST_TOOLS}/td-pixmap
  COMMENT "Drawing the setup's picture"
  VERBATIM)

add_custom_command(
  OUTPUT ${TD_SETUP_EXE}
  COMMAND ${TD_MAKENSIS} -V2 -INPUTCHARSET UTF8 ${TD_SETUP_TARGET}
          -DVERSION=${TD_VERSION}
          -DPROGRAM=$<TARGET_FILE:tessaline>
          -DHELP_DIR=${TD_HOST_HELP}
          -DICON=${TD_PICTURE_DIR}/icon-134-program.ico
          -DWIZARD_BITMAP=${TD_WIZARD_PICTURE}.bmp
          -DOUTFILE=${TD_SETUP_EXE}
          ${TD_ROOT}/setup/tessaline.nsi
  DEPENDS tessaline ${TD_ROOT}/setup/tessaline.nsi ${TD_SETUP_HELP} ${TD_PICTURE_DIR}/icon-134-program.ico
          ${TD_WIZARD_PICTURE}.bmp
  COMMENT "Setup program ${TD_SETUP_ARCH}"
  VERBATIM)
add_custom_target(td_setup ALL DEPENDS ${TD_SETUP_EXE})
