# The Setup runtime walked through its real windows: a package made by the
# builder from the sample project.
tw_wine_test(NAME runtime_sequence
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/sequence_test.sh
  DEPENDS tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
  TIMEOUT 300
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver>)

tw_wine_test(NAME runtime_pages
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/pages_test.sh
  DEPENDS tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
  TIMEOUT 300
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver>)

tw_wine_test(NAME runtime_destination
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/destination_test.sh
  DEPENDS tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
  TIMEOUT 300
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver>)
