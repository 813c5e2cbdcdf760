# Wine tests of CABXPD32.DLL: extraction from cabinet files and from memory
# images, and the rules of the memory pseudo-file seen through the DLL.
add_executable(cabxpd32_probe ${CMAKE_CURRENT_LIST_DIR}/cabxpd_probe.cpp)
target_compile_options(cabxpd32_probe PRIVATE ${TW_WARNINGS})
set_target_properties(cabxpd32_probe PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/cabxpd32)

tw_wine_test(NAME cabxpd32_extract
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/extract_test.sh
  DEPENDS cabxpd32 cabinet_dll cabxpd32_probe
  TIMEOUT 300
  ENV TW_CABXPD_PROBE=$<TARGET_FILE:cabxpd32_probe>)

tw_wine_test(NAME cabxpd32_memory_rules
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/memory_rules_test.sh
  DEPENDS cabxpd32 cabinet_dll cabxpd32_probe
  TIMEOUT 300
  ENV TW_CABXPD_PROBE=$<TARGET_FILE:cabxpd32_probe>)
