# Benchmarks that run under Wine (scripts/bench.sh, `make bench`): the
# program's start-up to its main window, driven with the end-to-end tests'
# support. Included by cmake/windows.cmake after the end-to-end tests.
if(NOT TARGET td_e2e_support)
  return()
endif()
add_executable(td-startup-bench ${TD_ROOT}/bench/wine/startup_bench.cpp)
target_link_libraries(td-startup-bench PRIVATE td_e2e_support)
foreach(program tessaline tessaline_ntsim wnaspi32 td_probe)
  if(TARGET ${program})
    add_dependencies(td-startup-bench ${program})
  endif()
endforeach()
