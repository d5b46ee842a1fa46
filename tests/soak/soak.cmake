# The soak: td-soak.exe drives the program under Wine through hundreds of a
# user's commands with the end-to-end tests' support, and prints what the
# program holds between rounds (scripts/soak.sh, `make soak`). Included by
# cmake/windows.cmake after the end-to-end tests.
if(NOT TARGET td_e2e_support)
  return()
endif()
add_executable(td-soak
  ${TD_ROOT}/tests/soak/soak_main.cpp
  ${TD_ROOT}/tests/soak/soak_steps.cpp
  ${TD_ROOT}/tests/soak/resource_meter.cpp)
target_link_libraries(td-soak PRIVATE td_e2e_support psapi)
foreach(program tessaline tessaline_ntsim wnaspi32 td_probe)
  if(TARGET ${program})
    add_dependencies(td-soak ${program})
  endif()
endforeach()
