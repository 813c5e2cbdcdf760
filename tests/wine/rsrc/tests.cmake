# Wine tests of the resource binder rsrc.exe.
set(rsrc_probe_res ${CMAKE_CURRENT_BINARY_DIR}/rsrc/res_probe_rc.o)
add_custom_command(OUTPUT ${rsrc_probe_res}
  COMMAND ${CMAKE_RC_COMPILER} -O coff -I ${CMAKE_CURRENT_LIST_DIR}
    ${CMAKE_CURRENT_LIST_DIR}/res_probe.rc ${rsrc_probe_res}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/res_probe.rc ${CMAKE_CURRENT_LIST_DIR}/keep.bin)
add_executable(rsrc_probe ${CMAKE_CURRENT_LIST_DIR}/res_probe.cpp ${rsrc_probe_res})
target_compile_options(rsrc_probe PRIVATE -municode ${TW_WARNINGS})
target_link_options(rsrc_probe PRIVATE -municode)
set_target_properties(rsrc_probe PROPERTIES
  OUTPUT_NAME res_probe
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/rsrc)

tw_wine_test(NAME rsrc_bind
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/bind_test.sh
  DEPENDS rsrc zeturfd rsrc_probe
  TIMEOUT 300
  ENV TW_RES_PROBE=$<TARGET_FILE:rsrc_probe>)

tw_wine_test(NAME rsrc_builder_retry
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/builder_retry_test.sh
  DEPENDS demo_folder tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd german english rsrc_probe
  TIMEOUT 300
  ENV TW_RES_PROBE=$<TARGET_FILE:rsrc_probe>)
