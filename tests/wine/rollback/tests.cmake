# A failed or cancelled installation leaves the machine as it was; the
# uninstaller after two installations leaves nothing; one removal at a time.
add_executable(rollback_make_projects ${CMAKE_CURRENT_LIST_DIR}/make_projects.cpp)
target_link_libraries(rollback_make_projects PRIVATE tw_project)
set_target_properties(rollback_make_projects PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools
  OUTPUT_NAME make_projects)
add_executable(hold_when_there ${CMAKE_CURRENT_LIST_DIR}/hold_when_there.cpp)
set_target_properties(hold_when_there PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)
tw_wine_test(NAME install_rollback
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/rollback_test.sh
  DEPENDS tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
    demo_folder rollback_make_projects hold_when_there hold_file
  TIMEOUT 1500
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_TEST_TOOLS=${CMAKE_BINARY_DIR}/test-tools)
tw_wine_test(NAME uninstall_twice
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/uninstall_twice_test.sh
  DEPENDS tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
    demo_folder
  TIMEOUT 900
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver>)
