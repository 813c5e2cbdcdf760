# Wine tests of the package dispatcher ZETUBODY.EXE on packages assembled
# here without the builder: bound with rsrc, items and table appended.
set(dispatcher_test_dir ${CMAKE_CURRENT_BINARY_DIR}/dispatcher)
file(MAKE_DIRECTORY ${dispatcher_test_dir})

# The dispatcher's resources as the builder binds them, once with the
# product's own name as application name and once with another.
foreach(name product other)
  add_custom_command(OUTPUT ${dispatcher_test_dir}/${name}.res
    COMMAND ${CMAKE_RC_COMPILER} -c 1252 -I ${CMAKE_CURRENT_LIST_DIR}/fixtures
      -O res ${CMAKE_CURRENT_LIST_DIR}/fixtures/name_${name}.rc
      ${dispatcher_test_dir}/${name}.res
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fixtures/name_${name}.rc
      ${CMAKE_CURRENT_LIST_DIR}/fixtures/dispatcher.rc
      ${CMAKE_CURRENT_LIST_DIR}/fixtures/class.ico
      ${CMAKE_CURRENT_LIST_DIR}/fixtures/dialog.ico)
endforeach()
add_custom_target(tw_dispatcher_res
  DEPENDS ${dispatcher_test_dir}/product.res ${dispatcher_test_dir}/other.res)

# Test tools, kept out of dist: the runtime's stand-in, the DLL that is
# planted beside packages, and the window probe.
add_executable(tw_dispatcher_standin WIN32
  ${CMAKE_CURRENT_LIST_DIR}/standin_runtime.cpp)
add_library(tw_dispatcher_planted SHARED ${CMAKE_CURRENT_LIST_DIR}/planted_dll.cpp)
add_executable(tw_dispatcher_probe ${CMAKE_CURRENT_LIST_DIR}/window_probe.cpp)
foreach(t tw_dispatcher_standin tw_dispatcher_planted tw_dispatcher_probe)
  target_compile_options(${t} PRIVATE ${TW_WARNINGS})
  set_target_properties(${t} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${dispatcher_test_dir}
    LIBRARY_OUTPUT_DIRECTORY ${dispatcher_test_dir})
endforeach()
set_target_properties(tw_dispatcher_standin PROPERTIES OUTPUT_NAME standin_runtime)
set_target_properties(tw_dispatcher_planted PROPERTIES OUTPUT_NAME planted PREFIX "")
set_target_properties(tw_dispatcher_probe PROPERTIES OUTPUT_NAME window_probe)

set(dispatcher_test_env
  TW_DISPATCHER_TOOLS=${dispatcher_test_dir}
  TW_DISPATCHER_KIT=${CMAKE_CURRENT_LIST_DIR})
set(dispatcher_test_depends zetubody cabxpd32 cabinet_dll rsrc
  tw_dispatcher_res tw_dispatcher_standin tw_dispatcher_planted
  tw_dispatcher_probe)

tw_wine_test(NAME dispatcher_unpack SCRIPT unpack_test.sh
  DEPENDS ${dispatcher_test_depends} TIMEOUT 400 ENV ${dispatcher_test_env})
tw_wine_test(NAME dispatcher_bad_packages SCRIPT bad_packages_test.sh
  DEPENDS ${dispatcher_test_depends} TIMEOUT 600 ENV ${dispatcher_test_env})
tw_wine_test(NAME dispatcher_work_folder SCRIPT work_folder_test.sh
  DEPENDS ${dispatcher_test_depends} TIMEOUT 300 ENV ${dispatcher_test_env})
tw_wine_test(NAME dispatcher_planted_dll SCRIPT planted_dll_test.sh
  DEPENDS ${dispatcher_test_depends} TIMEOUT 300 ENV ${dispatcher_test_env})
