# Wine tests of our CABINET.DLL: that it is the one loaded, packages built
# with each compression that every independent reader accepts, a large
# generated project extracted through CABXPD32.DLL byte for byte, and
# damaged cabinets refused before anything is started or installed.
add_executable(cabinet_probe ${CMAKE_CURRENT_LIST_DIR}/cabinet_probe.cpp)
target_compile_options(cabinet_probe PRIVATE ${TW_WARNINGS})
target_link_libraries(cabinet_probe PRIVATE cabinet_dll version)
# The benchmark's project generator, run under Wine to make the large project.
add_executable(cabinet_bench_project ${PROJECT_SOURCE_DIR}/tools/bench/make_bench_project.cpp)
target_link_libraries(cabinet_bench_project PRIVATE tw_project)
set_target_properties(cabinet_probe cabinet_bench_project PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)

set(tw_cabinet_depends tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd
  german english)
tw_wine_test(NAME cabinet_library
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/library_test.sh
  DEPENDS ${tw_cabinet_depends} cabinet_probe
  TIMEOUT 600
  ENV TW_CABINET_PROBE=$<TARGET_FILE:cabinet_probe>)
tw_wine_test(NAME cabinet_large_project
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/large_project_test.sh
  DEPENDS ${tw_cabinet_depends} cabinet_bench_project cabxpd32_probe
  TIMEOUT 900
  ENV TW_BENCH_PROJECT=$<TARGET_FILE:cabinet_bench_project> TW_CABXPD_PROBE=$<TARGET_FILE:cabxpd32_probe>)
tw_wine_test(NAME cabinet_damaged
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/damaged_test.sh
  DEPENDS ${tw_cabinet_depends} demo_folder uidriver
  TIMEOUT 900
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver>)
