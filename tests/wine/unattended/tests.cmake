# Unattended installs and removals: the switches, the run log, exit codes,
# and no window at all in silent runs.
set(tw_unattended_depends tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd
  german english uidriver demo_folder hold_file window_watch)
# Notes every window that appears while a run goes on.
add_executable(window_watch ${CMAKE_CURRENT_LIST_DIR}/window_watch.cpp)
target_link_libraries(window_watch PRIVATE user32)
set_target_properties(window_watch PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)
tw_wine_test(NAME unattended_silent
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/silent_test.sh
  DEPENDS ${tw_unattended_depends}
  TIMEOUT 900
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_TEST_TOOLS=${CMAKE_BINARY_DIR}/test-tools)
tw_wine_test(NAME unattended_faults
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/faults_test.sh
  DEPENDS ${tw_unattended_depends}
  TIMEOUT 900
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_TEST_TOOLS=${CMAKE_BINARY_DIR}/test-tools)
