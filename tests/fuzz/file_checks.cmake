# The file checks' reader on arbitrary resource data.
tw_portable_library(tw_file_checks_fuzz ${PROJECT_SOURCE_DIR}/common/file_checks.cpp
  ${PROJECT_SOURCE_DIR}/common/sha256.cpp ${PROJECT_SOURCE_DIR}/common/run_folder.cpp)
target_compile_options(tw_file_checks_fuzz PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
tw_fuzz_target(file_checks_fuzz ${CMAKE_CURRENT_LIST_DIR}/file_checks_fuzz.cpp
  LIBS tw_file_checks_fuzz)
