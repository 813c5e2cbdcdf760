# The Komponenten page and the property dialogs driven through the builder's
# window; the saved project read back and a package built from it installed.
tw_wine_test(NAME components_page
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/page_test.sh
  DEPENDS tamblix_exe tamblix_tool zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
  TIMEOUT 900
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_TAMBLIX=$<TARGET_FILE:tamblix_tool>)
