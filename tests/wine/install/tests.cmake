# Installing packages made by the builder through the real wizard: files,
# overwrite rules, files in use, the uninstaller's record, damaged packages.
set(tw_install_depends tamblix_exe zetubody cabxpd32 cabinet_dll zetusum_dll zetusum_exe rsrc zeturfd
  german english uidriver demo_folder hold_file werkzeug_1005 werkzeug_3000)
tw_wine_test(NAME install_demo
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/demo_test.sh
  DEPENDS ${tw_install_depends}
  TIMEOUT 600
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_TEST_TOOLS=${CMAKE_BINARY_DIR}/test-tools)
tw_wine_test(NAME install_faults
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/faults_test.sh
  DEPENDS ${tw_install_depends}
  TIMEOUT 900
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_TEST_TOOLS=${CMAKE_BINARY_DIR}/test-tools)

add_executable(hold_file ${CMAKE_CURRENT_LIST_DIR}/hold_file.cpp)
set_target_properties(hold_file PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)
foreach(v 1005 3000)
  string(SUBSTRING ${v} 0 1 v1)
  string(SUBSTRING ${v} 1 1 v2)
  string(SUBSTRING ${v} 2 1 v3)
  string(SUBSTRING ${v} 3 1 v4)
  add_library(werkzeug_${v} MODULE ${PROJECT_SOURCE_DIR}/examples/demo/versioned/werkzeug.c
    ${CMAKE_CURRENT_LIST_DIR}/versioned.rc)
  target_compile_definitions(werkzeug_${v} PRIVATE TW_V1=${v1} TW_V2=${v2} TW_V3=${v3} TW_V4=${v4})
  target_link_options(werkzeug_${v} PRIVATE -nostdlib -Wl,-e,_DllMainCRTStartup@12 -s)
  set_target_properties(werkzeug_${v} PROPERTIES PREFIX "" OUTPUT_NAME werkzeug-${v}
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)
endforeach()
tw_wine_test(NAME install_roundtrip
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/roundtrip_test.sh
  DEPENDS ${tw_install_depends}
  TIMEOUT 600
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver>)

# Files planted in the temporary folder in place of the remover and the
# cabinet library; the installer must refuse them.
add_executable(planted_program WIN32 ${CMAKE_CURRENT_LIST_DIR}/planted_marker.cpp)
add_library(planted_dll MODULE ${CMAKE_CURRENT_LIST_DIR}/planted_marker.cpp)
target_compile_definitions(planted_dll PRIVATE TW_PLANTED_DLL)
set_target_properties(planted_program PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)
set_target_properties(planted_dll PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-tools)
tw_wine_test(NAME install_safe_temp
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/safe_temp_test.sh
  DEPENDS ${tw_install_depends} planted_program planted_dll
  TIMEOUT 900
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_TEST_TOOLS=${CMAKE_BINARY_DIR}/test-tools)
# Planted DLLs beside the package, in the installation folder and in the
# temporary folder are never loaded (the planted DLL is the dispatcher
# tests' one).
tw_wine_test(NAME install_planted_dll
  SCRIPT ${CMAKE_CURRENT_LIST_DIR}/planted_dll_test.sh
  DEPENDS ${tw_install_depends} tw_dispatcher_planted
  TIMEOUT 600
  ENV TW_UIDRIVER=$<TARGET_FILE:uidriver> TW_PLANTED=$<TARGET_FILE:tw_dispatcher_planted>)
