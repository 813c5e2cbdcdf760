# The resource file reader: the binder reads .RES files from outside.
tw_fuzz_target(res_file_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/res_file_fuzz.cpp LIBS tw_common)
