# The item table reader on arbitrary package tails.
tw_portable_library(tw_package_fuzz ${PROJECT_SOURCE_DIR}/common/item_table.cpp)
target_compile_options(tw_package_fuzz PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
tw_fuzz_target(item_table_fuzz ${CMAKE_CURRENT_LIST_DIR}/item_table_fuzz.cpp
  LIBS tw_package_fuzz)
