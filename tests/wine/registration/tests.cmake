# The registration run on a package built from the demo project: registry
# components, links, App Paths, the per-user record and the uninstall entry,
# written and removed again.
add_executable(registration_probe ${CMAKE_CURRENT_LIST_DIR}/registration_probe.cpp)
target_link_libraries(registration_probe PRIVATE tw_setup_sequence tw_setup_background comctl32 ole32 uuid)
set_target_properties(registration_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)

tw_wine_test(NAME registration_run
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/registration_test.sh
  DEPENDS demo_folder tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
    registration_probe
  TIMEOUT 300
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_REGISTRATION_PROBE=$<TARGET_FILE:registration_probe>)

tw_wine_test(NAME registration_wizard
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/wizard_test.sh
  DEPENDS demo_folder tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
  TIMEOUT 400
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver>)
