# Wine tests of the folder remover ZETURFD.EXE. The process it waits for is
# the binder tests' probe program in its "hold" mode.
tw_wine_test(NAME zeturfd_remove
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/remove_test.sh
  DEPENDS zeturfd rsrc_probe
  TIMEOUT 300
  ENV TW_RES_PROBE=$<TARGET_FILE:rsrc_probe>)
