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
