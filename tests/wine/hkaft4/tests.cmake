# The sample after-install extension HKAFT4.DLL.
add_executable(hkaft4_probe ${CMAKE_CURRENT_LIST_DIR}/hkaft4_probe.cpp)
add_executable(hkaft4_recorder ${CMAKE_CURRENT_LIST_DIR}/recorder.cpp)
target_link_options(hkaft4_recorder PRIVATE -nostdlib -Wl,-e,_mainCRTStartup)
target_link_libraries(hkaft4_recorder PRIVATE kernel32)
set_target_properties(hkaft4_probe hkaft4_recorder PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)
tw_wine_test(NAME hkaft4_after_install
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/hkaft4_test.sh
  DEPENDS hkaft4 hkaft4_probe hkaft4_recorder
  TIMEOUT 200
  ENV TW_HKAFT4_PROBE=$<TARGET_FILE:hkaft4_probe> TW_HKAFT4_RECORDER=$<TARGET_FILE:hkaft4_recorder>)
