# The standard's names of additional sense codes: td-ascnames turns T10's
# list (src/scsi/asc-num.txt) into a source of tessaline_core at every build,
# so the table is never edited by hand and never older than the list.
# TD_ASCNAMES_TOOL names the tool: the host build's own target, or the host
# build's program for the Windows builds.
set(TD_ASC_LIST ${TD_ROOT}/src/scsi/asc-num.txt)
set(TD_ASC_TABLE ${CMAKE_BINARY_DIR}/generated/asc_name_table.cpp)
add_custom_command(OUTPUT ${TD_ASC_TABLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${TD_ASCNAMES_TOOL} ${TD_ASC_LIST} ${TD_ASC_TABLE}
  DEPENDS ${TD_ASC_LIST} ${TD_ASCNAMES_TOOL}
  COMMENT "Naming the additional sense codes")
target_sources(tessaline_core PRIVATE ${TD_ASC_TABLE})
