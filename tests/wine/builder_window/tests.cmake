# The builder's main window driven through its controls.
# The project tool, built for Windows, reads saved projects back under Wine.
add_executable(tamblix_tool ${PROJECT_SOURCE_DIR}/tools/tamblix/tamblix.cpp)
target_link_libraries(tamblix_tool PRIVATE tw_project)
set_target_properties(tamblix_tool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)

tw_wine_test(NAME builder_window
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/window_test.sh
  DEPENDS tamblix_exe tamblix_tool zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
  TIMEOUT 600
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_TAMBLIX=$<TARGET_FILE:tamblix_tool>)

# The Dialoge page: the sequence list, its panels, the language modules and
# the live preview, with screenshots beside the same pages in Setup.
add_executable(dialogs_projects ${CMAKE_CURRENT_LIST_DIR}/dialogs_projects.cpp)
target_link_libraries(dialogs_projects PRIVATE tw_project)
set_target_properties(dialogs_projects PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)

tw_wine_test(NAME builder_dialogs
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/dialogs_test.sh
  DEPENDS tamblix_exe dialogs_projects zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
  TIMEOUT 900
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_DIALOGS_PROJECTS=$<TARGET_FILE:dialogs_projects>)
