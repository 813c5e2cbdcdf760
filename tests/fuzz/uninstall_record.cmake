# The uninstall record reader.
tw_fuzz_target(uninstall_record_fuzz ${CMAKE_CURRENT_LIST_DIR}/uninstall_record_fuzz.cpp LIBS tw_common)
