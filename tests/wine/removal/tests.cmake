# The runtime's removal: an installed-like folder with an uninstall record
# removed through "SETUP.EXE ZETUREMOVE" and its copy in the temporary path.
tw_wine_test(NAME runtime_removal
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/removal_test.sh
  DEPENDS demo_folder tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english uidriver
  TIMEOUT 480
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver>)
