# Wine test of the runtime's background window on resource DLLs made by the
# test from small resource scripts and generated pictures.
add_executable(background_probe ${CMAKE_CURRENT_LIST_DIR}/background_probe.cpp)
target_link_libraries(background_probe PRIVATE tw_setup_background)
target_compile_options(background_probe PRIVATE ${TW_WARNINGS})
set_target_properties(background_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)

tw_wine_test(NAME background_window
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/background_test.sh
  DEPENDS background_probe
  TIMEOUT 300
  ENV TW_BACKGROUND_PROBE=$<TARGET_FILE:background_probe>
      TW_WINDRES=${CMAKE_RC_COMPILER}
      TW_MINGW_CC=${CMAKE_C_COMPILER}
      TW_BACKGROUND_KIT=${CMAKE_CURRENT_LIST_DIR})
