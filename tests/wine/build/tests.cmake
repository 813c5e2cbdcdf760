# The builder's command-line build under Wine.
tw_wine_test(NAME builder_command_line_build
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/build_test.sh
  DEPENDS demo_folder tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english
  TIMEOUT 300)
