# The UI driver that Wine tests use to walk the setup wizard through its real windows, and its own test.
set(tw_driver_dir ${CMAKE_CURRENT_LIST_DIR})

add_executable(uidriver
  ${tw_driver_dir}/uidriver.cpp
  ${tw_driver_dir}/window_search.cpp
  ${tw_driver_dir}/control_access.cpp
  ${tw_driver_dir}/console_out.cpp)
target_compile_options(uidriver PRIVATE -municode ${TW_WARNINGS})
target_link_options(uidriver PRIVATE -municode)
target_link_libraries(uidriver PRIVATE user32)

set(tw_driver_target_res ${CMAKE_CURRENT_BINARY_DIR}/driver/driver_target_rc.o)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/driver)
add_custom_command(OUTPUT ${tw_driver_target_res}
  COMMAND ${CMAKE_RC_COMPILER} -c 1252 -O coff -I ${tw_driver_dir}
    ${tw_driver_dir}/driver_target.rc ${tw_driver_target_res}
  DEPENDS ${tw_driver_dir}/driver_target.rc ${tw_driver_dir}/target_ids.h)
add_executable(driver_target WIN32 ${tw_driver_dir}/driver_target.cpp ${tw_driver_target_res})
target_compile_options(driver_target PRIVATE ${TW_WARNINGS})
target_link_libraries(driver_target PRIVATE user32 gdi32)

set_target_properties(uidriver driver_target PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)

tw_wine_test(NAME driver_walk
  SCRIPT ${tw_driver_dir}/driver_test.sh
  DEPENDS uidriver driver_target
  TIMEOUT 300
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_DRIVER_TARGET=$<TARGET_FILE:driver_target>)
