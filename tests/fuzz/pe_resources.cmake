# The module resource reader and writer (resource binding, language modules,
# file versions).
tw_fuzz_target(pe_resources_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/pe_resources_fuzz.cpp LIBS tw_common)
