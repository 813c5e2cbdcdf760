# The builder's command-line build under Wine.
tw_wine_test(NAME builder_command_line_build
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/build_test.sh
  DEPENDS demo_folder profile_probe tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english
  TIMEOUT 300
  ENV TW_PROFILE_PROBE=$<TARGET_FILE:profile_probe>)

add_executable(profile_probe ${CMAKE_CURRENT_LIST_DIR}/profile_probe.cpp)
target_link_libraries(profile_probe PRIVATE tw_common)
set_target_properties(profile_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)

# The build's safety rules: /out, parallel builds, stops and their messages.
tw_wine_test(NAME builder_safety
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/safety_test.sh
  DEPENDS demo_folder profile_probe hold_file cabxpd32_probe tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english
  TIMEOUT 600
  ENV TW_PROFILE_PROBE=$<TARGET_FILE:profile_probe> TW_HOLD_FILE=$<TARGET_FILE:hold_file>
    TW_CABXPD_PROBE=$<TARGET_FILE:cabxpd32_probe>)

# Two builds of the demo give the same bytes.
tw_wine_test(NAME builder_reproducible
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/reproducible_test.sh
  DEPENDS demo_folder tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english
  TIMEOUT 300)

# The build on the host (tamblix build, no Wine) against the build under
# Wine, and the host-built package installed. Needs the host preset's tool.
set(TW_HOST_TAMBLIX "${PROJECT_SOURCE_DIR}/build/host/tamblix" CACHE FILEPATH
  "The host build's project tool, for the test that compares both builds")
tw_wine_test(NAME builder_host_build
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/host_build_test.sh
  DEPENDS demo_folder tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
  TIMEOUT 600
  ENV TW_HOST_TAMBLIX=${TW_HOST_TAMBLIX} TW_UIDRIVER=$<TARGET_FILE:uidriver>)

# The host resource writer on this build's shipped modules: in the host
# preset that test is skipped while no win32 build exists (CI builds the
# host preset first), so it is run again here, where it must run and pass.
get_filename_component(tw_host_build_dir "${TW_HOST_TAMBLIX}" DIRECTORY)
add_test(NAME shipped_modules_resources
  COMMAND "${tw_host_build_dir}/tests/res/pe_resources_test" --gtest_filter=ShippedModules.*)
set_tests_properties(shipped_modules_resources PROPERTIES
  PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test\\."
  FAIL_REGULAR_EXPRESSION "SKIPPED|FAILED")
